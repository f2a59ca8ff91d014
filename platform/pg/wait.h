// While an operation waits for the server the application shows the wait cursor. The layer knows no
// widget: the application installs the two hooks, and every server round trip holds a WaitScope.
#pragma once

#include <functional>

namespace korvat::pg {

void setWaitHooks(std::function<void()> begin, std::function<void()> end);

class WaitScope {
public:
    WaitScope();
    ~WaitScope();
    WaitScope(const WaitScope &) = delete;
    WaitScope &operator=(const WaitScope &) = delete;
};

} // namespace korvat::pg
