// The problems of the drill: twelve patterns of small whole numbers with the four
// operations and brackets. Each pattern is built backwards from its result, so every
// subtraction stays positive and every division comes out exact.
#pragma once

#include "core/environment.h"

#include <QString>

#include <array>

// The characters of a row, exactly as rows are stored and compared.
inline constexpr QChar kPlus{0xFF0B};   // ＋
inline constexpr QChar kMinus{0xFF0D};  // －
inline constexpr QChar kTimes{0x00D7};  // ×
inline constexpr QChar kDivide{0x00F7}; // ÷

inline constexpr int kMaxSteps = 5;

struct Problem {
    int pattern = 0;   // 1..12; 0 for a level without problems
    int stepCount = 0; // 3 or 4
    // stepText[1] is the problem as shown, the following positions the rows the
    // pupil types, the last one the answer; unused positions are empty.
    std::array<QString, kMaxSteps + 1> stepText{};
    // The timed hint under each row (HintoLabel); empty where a row has none.
    std::array<QString, kMaxSteps + 1> hint{};
};

// One draw: 2, 3, 4 or 5, each equally likely.
int drawNumber(Random &random);

// The pattern of a level's next problem: 1..3 on level 1, 4..6 on level 2, 7..12 on
// level 3; 0 for a level that has no problems.
int drawPattern(int level, Random &random);

// Draws the numbers of the pattern, in the pattern's own order, and builds its rows.
Problem makeProblem(int pattern, Random &random);

// The pattern for the level, then its problem.
Problem drawProblem(int level, Random &random);

// The level-1 hint that follows the cursor (ヒント表示): "かけ算を先に" on row 2.
QString levelHintText(int position);
