// The one guard through which Qt enters the program's code: an error a handler lets escape is shown
// in the application's error box and the program carries on. Also the scope guard for clean-up.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

namespace korvat::forms {

// Runs fn; whatever it throws is shown through Application::showError. Never throws.
void guarded(const std::function<void()> &fn) noexcept;

// Shows the text of an error caught elsewhere (the guard's own report).
void reportError(const QString &message) noexcept;

namespace detail {
// Calls f with the longest leading part of args it accepts, as Qt does for slots with fewer
// parameters than the signal.
template <std::size_t N, typename F, typename Tuple>
void invokeLeading(F &&f, Tuple &&args)
{
    if constexpr ([]<std::size_t... I>(std::index_sequence<I...>) {
                      return std::is_invocable_v<F, std::tuple_element_t<I, std::remove_reference_t<Tuple>>...>;
                  }(std::make_index_sequence<N>{})) {
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            std::invoke(std::forward<F>(f), std::get<I>(std::forward<Tuple>(args))...);
        }(std::make_index_sequence<N>{});
    } else {
        static_assert(N > 0, "the handler cannot be called with the signal's arguments");
        if constexpr (N > 0)
            invokeLeading<N - 1>(std::forward<F>(f), std::forward<Tuple>(args));
    }
}
} // namespace detail

// connect() whose handler runs inside guarded(). The handler is a member function of receiver
// (connectGuarded(button, &QPushButton::clicked, this, &TfMenuEMCS::ButtonLoginClick)) or any callable,
// with receiver as the context that ends the connection; it may take fewer arguments than the signal.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection connectGuarded(const Sender *sender, Signal signal, Receiver *receiver, Handler handler,
                                       Qt::ConnectionType type = Qt::AutoConnection)
{
    return QObject::connect(
        sender, signal, receiver,
        [receiver, handler = std::move(handler)](auto &&...args) -> void {
            guarded([&] {
                if constexpr (std::is_member_function_pointer_v<Handler>)
                    detail::invokeLeading<sizeof...(args) + 1>(handler, std::forward_as_tuple(receiver, args...));
                else
                    detail::invokeLeading<sizeof...(args)>(handler, std::forward_as_tuple(args...));
            });
        },
        type);
}

// Runs its clean-up when the scope ends, on every outcome; an error of the clean-up itself is
// reported through the guard, so the destructor never throws.
template <typename F>
class ScopeGuard {
public:
    explicit ScopeGuard(F cleanUp) : m_cleanUp(std::move(cleanUp)) {}
    ~ScopeGuard()
    {
        guarded([this] { m_cleanUp(); });
    }
    ScopeGuard(const ScopeGuard &) = delete;
    ScopeGuard &operator=(const ScopeGuard &) = delete;

private:
    F m_cleanUp;
};

} // namespace korvat::forms
