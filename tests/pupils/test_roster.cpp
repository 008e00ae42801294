#include "core/hensuu1.h"
#include "pupils/roster.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
QString padded(const QString &name)
{
    return name.leftJustified(kRosterTextLength, u' ');
}

QList<int> listedNumbers()
{
    const RosterTables &tables = rosterTables();
    QList<int> numbers;
    // -1 marks a position whose record and number disagree.
    for (int position = 1; position <= tables.activePupilCount; ++position) {
        const int number = tables.activePupilNumbers[position];
        numbers << (tables.rosterRecords[position].number == number ? number : -1);
    }
    return numbers;
}

struct RosterFixture {
    FakeEnvironment fakes;
    TestClassroom classroom;
    RosterFixture()
    {
        resetRosterTables();
        hensuu1().dataPathSetting = classroom.sharedFolder();
        hensuu1().schoolYearStartMonth = 4;
        fakes.clock.date = QDate(2016, 6, 1);
    }
    QString path() const { return classroom.sharedFolder() + kRosterFileName; }
    RosterReading read(const QString &text)
    {
        classroom.writeText(path(), text);
        return readRosterFile(path());
    }
};
} // namespace

class TestRoster : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void emptyRosterListsNobody();
    void readsEveryField();
    void listingByStatus_data();
    void listingByStatus();
    void gradeOfBirthYearOnDate_data();
    void gradeOfBirthYearOnDate();
    void gradeLabels_data();
    void gradeLabels();
    void birthYearWithoutGrade_data();
    void birthYearWithoutGrade();
    void textFieldsAreCutAndPadded_data();
    void textFieldsAreCutAndPadded();
    void badLinesAreSkipped_data();
    void badLinesAreSkipped();
    void duplicateNumbersAreListedTwice();
    void beyondTheTablesIsNotListed();
    void missingRosterEndsTheProgram();
    void gradeFilters_data();
    void gradeFilters();
};

void TestRoster::emptyRosterListsNobody()
{
    RosterFixture fixture;
    const RosterReading reading = fixture.read("");
    QVERIFY(reading.fileRead());
    QVERIFY(reading.problems.isEmpty());
    QCOMPARE(rosterTables().activePupilCount, int16_t(0));
    QCOMPARE(rosterTables().schoolYear, int16_t(2016));
}

void TestRoster::readsEveryField()
{
    RosterFixture fixture;
    const RosterReading reading = fixture.read("12,2008,3,-4,\"山田　太郎\",0,\"予備,一\",メモ\n"
                                               "5000,2010,0,0,佐藤花子,0,,\n");
    QVERIFY(reading.problems.isEmpty());
    const RosterTables &tables = rosterTables();
    QCOMPARE(listedNumbers(), (QList<int>{12, 5000}));
    const RosterRecord &first = tables.rosterRecords[1];
    QCOMPARE(first.birthYear, int16_t(2008));
    QCOMPARE(first.spareNumber1, int16_t(3));
    QCOMPARE(first.spareNumber2, int16_t(-4));
    QCOMPARE(first.name, padded("山田　太郎"));
    QCOMPARE(first.spareText1, padded("予備,一"));
    QCOMPARE(first.spareText2, padded("メモ"));
    QCOMPARE(tables.rosterRecords[2].spareText2, padded(""));
    QCOMPARE(tables.pupilNames[5000], padded("佐藤花子"));
    QCOMPARE(tables.pupilBirthYears[12], int16_t(2008));
    QCOMPARE(tables.pupilGradeLabels[12], QStringLiteral("小２"));
}

void TestRoster::listingByStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<double>("listStatusTwo");
    QTest::addColumn<bool>("listed");
    QTest::newRow("0") << 0 << 0.0 << true;
    QTest::newRow("1") << 1 << 0.0 << false;
    QTest::newRow("1, status two listed") << 1 << 1.0 << false;
    QTest::newRow("2") << 2 << 0.0 << false;
    QTest::newRow("2, status two listed") << 2 << 1.0 << true;
    QTest::newRow("3, status two listed") << 3 << 1.0 << false;
    QTest::newRow("-1") << -1 << 0.0 << false;
}

void TestRoster::listingByStatus()
{
    QFETCH(int, status);
    QFETCH(double, listStatusTwo);
    QFETCH(bool, listed);
    RosterFixture fixture;
    hensuu1().listStatusTwoPupils = listStatusTwo;
    fixture.read(QStringLiteral("1,2009,0,0,前,0,,\n7,2006,0,0,中村,%1,,\n3,2009,0,0,後,0,,\n").arg(status));

    QCOMPARE(listedNumbers(), listed ? (QList<int>{1, 7, 3}) : (QList<int>{1, 3}));
    // Listed or not, the pupil's own entries are set.
    const RosterTables &tables = rosterTables();
    QCOMPARE(tables.pupilNames[7], padded("中村"));
    QCOMPARE(tables.pupilBirthYears[7], int16_t(2006));
    QCOMPARE(tables.pupilGradeLabels[7], QStringLiteral("小４"));
}

void TestRoster::gradeOfBirthYearOnDate_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<double>("startMonth");
    QTest::addColumn<int>("grade");
    QTest::newRow("1 April 2016") << QDate(2016, 4, 1) << 4.0 << 1;
    QTest::newRow("31 March 2017") << QDate(2017, 3, 31) << 4.0 << 1;
    QTest::newRow("31 March 2016") << QDate(2016, 3, 31) << 4.0 << 0;
    QTest::newRow("1 April 2017") << QDate(2017, 4, 1) << 4.0 << 2;
    QTest::newRow("year from September, in August") << QDate(2016, 8, 31) << 9.0 << 0;
    QTest::newRow("year from January") << QDate(2016, 1, 1) << 1.0 << 1;
}

void TestRoster::gradeOfBirthYearOnDate()
{
    QFETCH(QDate, today);
    QFETCH(double, startMonth);
    QFETCH(int, grade);
    RosterFixture fixture;
    fixture.fakes.clock.date = today;
    hensuu1().schoolYearStartMonth = startMonth;
    fixture.read("1,2009,0,0,一年,0,,\n");
    const RosterTables &tables = rosterTables();
    QCOMPARE(gradeNumberOf(tables.pupilBirthYears[1], tables.schoolYear), grade);
    QCOMPARE(tables.pupilGradeLabels[1], pupilGradeLabel(grade));
}

void TestRoster::gradeLabels_data()
{
    QTest::addColumn<int>("grade");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("inSchool");
    QTest::addColumn<QString>("pupil");
    QTest::newRow("-5") << -5 << "幼-" << -11 << "";
    QTest::newRow("-3") << -3 << "幼-" << -9 << "";
    QTest::newRow("-2") << -2 << "幼1" << -8 << "";
    QTest::newRow("-1") << -1 << "幼2" << -7 << "";
    QTest::newRow("0") << 0 << "幼3" << -6 << "幼３";
    QTest::newRow("1") << 1 << "小1" << 1 << "小１";
    QTest::newRow("6") << 6 << "小6" << 6 << "小６";
    QTest::newRow("7") << 7 << "中1" << 1 << "中１";
    QTest::newRow("9") << 9 << "中3" << 3 << "中３";
    QTest::newRow("10") << 10 << "高1" << 1 << "高１";
    QTest::newRow("11") << 11 << "高2" << 2 << "";
    QTest::newRow("12") << 12 << "高3" << 3 << "";
    QTest::newRow("13") << 13 << "大+" << 4 << "";
    QTest::newRow("40") << 40 << "大+" << 31 << "";
    QTest::newRow("no grade") << kNoGrade << "" << kNoGrade << "";
}

void TestRoster::gradeLabels()
{
    QFETCH(int, grade);
    QFETCH(QString, display);
    QFETCH(int, inSchool);
    QFETCH(QString, pupil);
    QCOMPARE(displayGradeLabel(grade), display);
    QCOMPARE(gradeInSchool(grade), inSchool);
    QCOMPARE(pupilGradeLabel(grade), pupil);
}

void TestRoster::birthYearWithoutGrade_data()
{
    QTest::addColumn<int>("birthYear");
    QTest::addColumn<bool>("graded");
    QTest::newRow("1900") << 1900 << true;
    QTest::newRow("2100") << 2100 << true;
    QTest::newRow("1899") << 1899 << false;
    QTest::newRow("2101") << 2101 << false;
    QTest::newRow("20150, a digit too many") << 20150 << false;
    QTest::newRow("0") << 0 << false;
    QTest::newRow("-5") << -5 << false;
}

void TestRoster::birthYearWithoutGrade()
{
    QFETCH(int, birthYear);
    QFETCH(bool, graded);
    RosterFixture fixture;
    const RosterReading reading = fixture.read(QStringLiteral("7,%1,0,0,七,0,,\n").arg(birthYear));
    // Listed all the same: only the grade is unknown.
    QCOMPARE(listedNumbers(), QList<int>{7});
    const RosterTables &tables = rosterTables();
    QCOMPARE(gradeNumberOf(tables.pupilBirthYears[7], tables.schoolYear) != kNoGrade, graded);
    QCOMPARE(reading.problems.size(), graded ? 0 : 1);
    if (!graded) {
        QCOMPARE(reading.problems[0].kind, RosterProblem::Kind::BirthYear);
        QCOMPARE(reading.problems[0].line, 1);
        QVERIFY(tables.pupilGradeLabels[7].isEmpty());
    }
}

void TestRoster::textFieldsAreCutAndPadded_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("name");
    QTest::newRow("25 characters") << "あいうえおかきくけこさしすせそたちつてとなにぬねの"
                                   << "あいうえおかきくけこさしすせそたちつてと";
    QTest::newRow("exactly 20") << "12345678901234567890"
                                << "12345678901234567890";
    QTest::newRow("short") << "森" << padded("森");
    QTest::newRow("empty") << "" << padded("");
    QTest::newRow("quoted, with a comma") << "\"森,林\"" << padded("森,林");
    QTest::newRow("leading spaces skipped") << "   森" << padded("森");
}

void TestRoster::textFieldsAreCutAndPadded()
{
    QFETCH(QString, field);
    QFETCH(QString, name);
    RosterFixture fixture;
    fixture.read("4,2009,0,0," + field + ",0,,\n");
    QCOMPARE(rosterTables().pupilNames[4], name);
    QCOMPARE(rosterTables().rosterRecords[1].name, name);
}

void TestRoster::badLinesAreSkipped_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("what");
    QTest::newRow("number above 5000") << "5001,2009,0,0,大,0,,"
                                       << "番号5001は0から5000の間にありません";
    QTest::newRow("negative number") << "-1,2009,0,0,負,0,,"
                                     << "番号-1は0から5000の間にありません";
    QTest::newRow("number beyond 16 bits") << "70000,2009,0,0,大,0,,"
                                           << "番号の「70000」は数として読めません";
    QTest::newRow("number not a number") << "abc,2009,0,0,字,0,,"
                                         << "番号の「abc」は数として読めません";
    QTest::newRow("birth year with a letter") << "8,20x9,0,0,字,0,,"
                                              << "生まれ年の「20x9」は数として読めません";
    QTest::newRow("status empty") << "8,2009,0,0,空,,,"
                                  << "状態の「」は数として読めません";
    QTest::newRow("spare number not a number") << "8,2009,x,0,字,0,,"
                                               << "予備番号1の「x」は数として読めません";
    QTest::newRow("seven values") << "8,2009,0,0,短,0,"
                                  << "値が7個しかありません（8個必要です）";
    QTest::newRow("unquoted comma in the name")
        << "8,2009,0,0,山田,太郎,0,,"
        << "状態の「太郎」は数として読めません（名前に「,」があるときは名前を\"\"で囲みます）";
    QTest::newRow("nine values") << "8,2009,0,0,山田,0,,,x"
                                 << "値が8個より多くあります（名前に「,」があるときは名前を\"\"で囲みます）";
}

void TestRoster::badLinesAreSkipped()
{
    QFETCH(QString, line);
    QFETCH(QString, what);
    RosterFixture fixture;
    const RosterReading reading = fixture.read("1,2009,0,0,前,0,,\n" + line + "\n2,2009,,,後,0,,\n");

    QCOMPARE(reading.problems.size(), 1);
    QCOMPARE(reading.problems[0].kind, RosterProblem::Kind::Skipped);
    QCOMPARE(reading.problems[0].line, 2);
    QCOMPARE(reading.problems[0].what, what);
    QCOMPARE(listedNumbers(), (QList<int>{1, 2}));
    QVERIFY(rosterTables().pupilNames[8].isEmpty());
}

void TestRoster::duplicateNumbersAreListedTwice()
{
    RosterFixture fixture;
    const RosterReading reading =
        fixture.read("5,2009,0,0,先,0,,\n6,2008,0,0,別,0,,\n5,2007,0,0,後,1,,\n5,2006,0,0,最後,0,,\n");
    QCOMPARE(listedNumbers(), (QList<int>{5, 6, 5}));
    QCOMPARE(rosterTables().rosterRecords[1].name, padded("先"));
    QCOMPARE(rosterTables().pupilNames[5], padded("最後"));
    QCOMPARE(rosterTables().pupilBirthYears[5], int16_t(2006));
    QCOMPARE(reading.problems.size(), 2);
    QCOMPARE(reading.problems[0].kind, RosterProblem::Kind::Duplicate);
    QCOMPARE(reading.problems[0].line, 3);
    QCOMPARE(reading.problems[1].line, 4);
    QCOMPARE(reading.problems[1].what, QStringLiteral("番号5は3行目にもあります"));
}

void TestRoster::beyondTheTablesIsNotListed()
{
    RosterFixture fixture;
    QString text;
    for (int n = 1; n <= kMaxPupil + 3; ++n)
        text += QStringLiteral("%1,2009,0,0,生徒%2,0,,\n").arg(n % (kMaxPupil + 1)).arg(n);
    text += "9,2009,0,0,休み,1,,\n";
    const RosterReading reading = fixture.read(text);

    const RosterTables &tables = rosterTables();
    QCOMPARE(tables.activePupilCount, int16_t(kMaxPupil));
    QCOMPARE(tables.activePupilNumbers[kMaxPupil], int16_t(kMaxPupil));
    QCOMPARE(tables.rosterRecords[kMaxPupil].name, padded("生徒5000"));
    // Not listed, but their own entries are kept like any unlisted pupil's.
    QCOMPARE(tables.pupilNames[2], padded("生徒5003"));
    QCOMPARE(tables.pupilNames[9], padded("休み"));
    const RosterProblem &beyond = reading.problems.last();
    QCOMPARE(beyond.kind, RosterProblem::Kind::NotListed);
    QCOMPARE(beyond.line, kMaxPupil + 1);
    QVERIFY(beyond.what.contains("3人"));
}

void TestRoster::missingRosterEndsTheProgram()
{
    RosterFixture fixture;
    fixture.read("1,2009,0,0,前,0,,\n");
    QFile::remove(fixture.path());

    const RosterReading reading = readRosterFile(fixture.path());
    QCOMPARE(reading.status, FileReadStatus::Missing);
    QCOMPARE(rosterTables().activePupilCount, int16_t(1));

    QVERIFY_THROWS_EXCEPTION(ProgramEnded, ReadRoster());
    QCOMPARE(fixture.fakes.dialogs.messages.size(), 1);
    QVERIFY(fixture.fakes.dialogs.messages[0].text.contains(fixture.path()));
    QVERIFY(fixture.fakes.dialogs.messages[0].text.contains("ファイルがありません"));
}

void TestRoster::gradeFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QList<int>>("matching"); // among grade numbers -3..13 and no grade
    QTest::newRow("全学年") << "全学年"
                            << QList<int>{-3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, kNoGrade};
    QTest::newRow("家族") << "家族" << QList<int>{-3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    QTest::newRow("小学生全体") << "小学生全体" << QList<int>{1, 2, 3, 4, 5, 6};
    QTest::newRow("中学生全体") << "中学生全体" << QList<int>{7, 8, 9};
    QTest::newRow("小１") << "小１" << QList<int>{1};
    QTest::newRow("小４") << "小４" << QList<int>{4};
    QTest::newRow("小６") << "小６" << QList<int>{6};
    QTest::newRow("中１") << "中１" << QList<int>{7};
    QTest::newRow("中３") << "中３" << QList<int>{9};
    QTest::newRow("中４ is no filter") << "中４" << QList<int>{};
    QTest::newRow("小７ is no filter") << "小７" << QList<int>{};
    QTest::newRow("half-width 小4") << "小4" << QList<int>{};
    QTest::newRow("高１ is no filter") << "高１" << QList<int>{};
    QTest::newRow("empty") << "" << QList<int>{};
}

void TestRoster::gradeFilters()
{
    QFETCH(QString, filter);
    QFETCH(QList<int>, matching);
    QList<int> matched;
    for (int grade = -3; grade <= 13; ++grade) {
        if (GradeFilterMatches(filter, grade))
            matched << grade;
    }
    if (GradeFilterMatches(filter, kNoGrade))
        matched << kNoGrade;
    QCOMPARE(matched, matching);
}

QTEST_GUILESS_MAIN(TestRoster)
#include "test_roster.moc"
