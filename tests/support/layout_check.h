// Text a screen hides from its pupil: a visible label whose text, or a list, is covered
// by a control drawn above it, or that does not fit in its own rectangle or the panel
// it stands on.
#pragma once

#include <QStringList>
#include <QWidget>

// One line per problem, "control: what hides it". The controls named in
// designedOverlays (object names: notice boxes, wait and maintenance panels) stand in
// front of the others on purpose and are not counted as covering them.
QStringList hiddenTextsOf(const QWidget *screen, const QStringList &designedOverlays = {});
