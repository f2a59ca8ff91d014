// The save-file dialog of the declaration window. The window gives it a filter and a proposed file
// name before each run; afterwards its file name is the path the clerk chose, or the proposed one
// after a cancel. It never asks before an existing file is replaced and adds no extension.
#pragma once

#include <QFileDialog>
#include <QString>
#include <functional>
#include <optional>

namespace korvat::declarations {

class SaveDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit SaveDialog(QWidget *parent);

    const QString &fileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }

    // Shows the dialog at the proposed name; true when the clerk chose a file, which then is the
    // file name.
    bool execute();

    // Answers in place of the clerk (tests): the chosen path, or nothing for a cancel. While it is
    // set the dialog is not shown.
    using Answer = std::function<std::optional<QString>(const SaveDialog &dialog)>;
    Answer answer;

private:
    QString m_fileName;
};

} // namespace korvat::declarations
