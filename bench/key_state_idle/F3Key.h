#pragma once

#include <memory>
#include <string>

// F3 pressed and released on an X display through XTest, apart from Qt, whose headers
// cannot meet Xlib's.
class F3Key {
public:
    static std::unique_ptr<F3Key> open(const std::string& display);
    virtual ~F3Key() = default;
    // Returns once the server has the event.
    virtual void press(bool down) = 0;
};
