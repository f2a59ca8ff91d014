#include "declarations/savedialog.h"

#include <QFileInfo>

namespace korvat::declarations {

SaveDialog::SaveDialog(QWidget *parent) : QFileDialog(parent)
{
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // The declaration of a month is regenerated under the same name; replacing it is the normal case.
    setOption(QFileDialog::DontConfirmOverwrite, true);
    setDefaultSuffix(QString());
}

bool SaveDialog::execute()
{
    std::optional<QString> chosen;
    if (answer) {
        chosen = answer(*this);
    } else {
        const QFileInfo proposed(m_fileName);
        setDirectory(proposed.absolutePath());
        selectFile(proposed.fileName());
        if (exec() == QDialog::Accepted && !selectedFiles().isEmpty())
            chosen = selectedFiles().constFirst();
    }
    if (!chosen)
        return false;
    m_fileName = *chosen;
    return true;
}

} // namespace korvat::declarations
