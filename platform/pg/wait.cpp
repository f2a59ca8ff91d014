#include "platform/pg/wait.h"

namespace korvat::pg {
namespace {
struct Hooks {
    std::function<void()> begin;
    std::function<void()> end;
    int depth = 0;
};
Hooks &hooks()
{
    static Hooks h;
    return h;
}
} // namespace

void setWaitHooks(std::function<void()> begin, std::function<void()> end)
{
    hooks().begin = std::move(begin);
    hooks().end = std::move(end);
}

// Nested scopes (a detail opened inside a master's scroll handler) show the cursor once.
WaitScope::WaitScope()
{
    if (hooks().depth++ == 0 && hooks().begin)
        hooks().begin();
}

WaitScope::~WaitScope()
{
    if (--hooks().depth == 0 && hooks().end)
        hooks().end();
}

} // namespace korvat::pg
