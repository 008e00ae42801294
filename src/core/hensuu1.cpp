#include "core/hensuu1.h"

#include <memory>

namespace {
std::unique_ptr<Hensuu1> &slot()
{
    static std::unique_ptr<Hensuu1> record = std::make_unique<Hensuu1>();
    return record;
}
} // namespace

Hensuu1 &hensuu1() { return *slot(); }

void resetHensuu1() { slot() = std::make_unique<Hensuu1>(); }
