// The program's application object, beside the QApplication: the title derived from the executable,
// the default error box every guarded handler reports to, and the wait cursor of the data-access layer.
#pragma once

#include <QString>
#include <functional>

namespace korvat::forms {

class Application {
public:
    // Shows an error instead of the message box; tests capture errors through it.
    using ErrorPresenter = std::function<void(const QString &caption, const QString &text)>;

    // Needs a QApplication; there is one Application at a time.
    Application();
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // The running Application, or nullptr before it is made and after it is gone.
    static Application *instance();

    // "KORVAT.EXE" -> "Korvat": the folder dropped, cut at the first dot, every character after the
    // first in lower case.
    static QString titleFromExecutable(const QString &path);
    // The text the error box shows: "." appended when the last character's code is above that of ".".
    static QString errorText(const QString &message);

    const QString &title() const { return m_title; }

    // The error box: the title as caption, the error icon and an OK button.
    void showError(const QString &message) const;
    // An empty presenter brings the message box back.
    void setErrorPresenter(ErrorPresenter presenter);

private:
    QString m_title;
    ErrorPresenter m_presenter;
};

} // namespace korvat::forms
