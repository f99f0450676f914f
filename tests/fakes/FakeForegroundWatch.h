#pragma once

#include <string>
#include <utility>

#include "platform/ForegroundWatch.h"

namespace velmora::tests {

// The program in front is whatever the test says; Switch tells the listener
// as the real watch does after a change.
class FakeForegroundWatch : public IForegroundWatch {
public:
    std::u16string program;

    std::u16string ForegroundProgram() override { return program; }

    void Switch(std::u16string to)
    {
        program = std::move(to);
        if (Changed) {
            Changed();
        }
    }
};

}  // namespace velmora::tests
