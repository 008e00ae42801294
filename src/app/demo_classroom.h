// A complete classroom to try Ranvex on, laid out as on a school PC:
//   DIR/パスデータ.txt           names the shared base folder DIR/shared/
//   DIR/shared/共通データ.txt    school year from April, "12345デモ教室"
//   DIR/shared/新名簿.txt        forty pupils from kindergarten to high school, and "講師"
//   DIR/shared/音フォルダ/       the sound list and short wave files of our own tones
//   DIR/shared/PROGRAM/         the criteria table and a few weeks of results
// Text files are code page 932 with CR LF, as a Windows PC writes them. A criteria
// table or results file already there is kept: a teacher may have changed it.
#pragma once

#include <QString>

// Returns an empty text on success, otherwise which file could not be written.
QString writeDemoClassroom(const QString &folder, const QString &programFolderName);
