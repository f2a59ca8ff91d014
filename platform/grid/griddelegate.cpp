#include "platform/grid/griddelegate.h"

#include "platform/grid/grideditors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace korvat::grid {

namespace {

using pg::FieldKind;

} // namespace

GridDelegate::GridDelegate(GridModel *model, QObject *parent) : QStyledItemDelegate(parent), m_model(model) {}

QFont GridDelegate::contentFont(const QFont &fallback) const
{
    const auto &content = m_sheet[GridStyleSlot::Content];
    return content ? content->effectiveFont(fallback) : fallback;
}

void GridDelegate::setComboItems(int column, const QStringList &items) { m_comboItems[column] = items; }

const QStringList *GridDelegate::comboItems(int column) const
{
    const auto it = m_comboItems.find(column);
    return it == m_comboItems.end() ? nullptr : &it->second;
}

void GridDelegate::applyStyle(QStyleOptionViewItem *option, GridStyleSlot slot) const
{
    const std::optional<GridStyle> &style = m_sheet[slot];
    if (!style)
        return;
    const QPalette &palette = option->widget ? option->widget->palette() : QApplication::palette();
    if (style->background)
        option->backgroundBrush = style->background->resolve(palette);
    if (const auto text = style->effectiveTextColor(palette)) {
        option->palette.setColor(QPalette::Text, *text);
        option->palette.setColor(QPalette::HighlightedText, *text);
    }
    // Most slots keep the font they are given; a painted cell then measures no font again.
    if (style->font) {
        option->font = style->effectiveFont(option->font);
        option->fontMetrics = QFontMetrics(option->font);
    }
}

void GridDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    applyStyle(option, GridStyleSlot::Content);
    applyStyle(option, index.row() % 2 == 0 ? GridStyleSlot::ContentEven : GridStyleSlot::ContentOdd);
    // The current row is the grid's selection; selection highlighting of Qt's own is off.
    const auto *view = qobject_cast<const QAbstractItemView *>(option->widget);
    if (view && view->currentIndex().row() == index.row()) {
        const QWidget *focus = QApplication::focusWidget();
        const bool active = focus && (focus == view || view->isAncestorOf(focus));
        applyStyle(option, active ? GridStyleSlot::Selection : GridStyleSlot::Inactive);
    }
}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    const pg::FieldDef &def = m_model->fieldDef(index.column());
    const DisplayFormat &format = m_model->format();
    QWidget *editor = nullptr;
    if (const QStringList *items = comboItems(index.column())) {
        auto *combo = new QComboBox(parent);
        combo->setEditable(true);
        // Enter must not add the typed text to the entries, and a typed prefix of an entry must
        // stay as typed rather than be completed to it.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        combo->setMaxVisibleItems(8);
        combo->addItems(*items);
        if (def.size > 0)
            combo->lineEdit()->setMaxLength(def.size);
        editor = combo;
    } else {
        switch (def.kind) {
        case FieldKind::Date:
            editor = new DateEditor(format.datePattern(), parent);
            break;
        case FieldKind::DateTime: {
            auto *edit = new QDateTimeEdit(parent);
            edit->setDisplayFormat(format.dateTimePattern());
            edit->setCalendarPopup(true);
            editor = edit;
            break;
        }
        case FieldKind::Boolean: {
            auto *combo = new QComboBox(parent);
            combo->addItems({QString(), DisplayFormat::trueText().toString(), DisplayFormat::falseText().toString()});
            editor = combo;
            break;
        }
        case FieldKind::Integer:
        case FieldKind::Float: {
            auto *edit = new QLineEdit(parent);
            QValidator *validator = nullptr;
            if (def.kind == FieldKind::Integer) {
                validator = new QIntValidator(edit);
            } else {
                auto *doubles = new QDoubleValidator(edit);
                doubles->setNotation(QDoubleValidator::StandardNotation);
                validator = doubles;
            }
            validator->setLocale(format.locale());
            edit->setValidator(validator);
            edit->setAlignment(Qt::AlignRight);
            editor = edit;
            break;
        }
        case FieldKind::String:
        case FieldKind::Memo: {
            auto *edit = new QLineEdit(parent);
            if (def.size > 0)
                edit->setMaxLength(def.size);
            editor = edit;
            break;
        }
        }
    }
    editor->setFont(contentFont(option.font));
    editor->setAutoFillBackground(true);
    m_lastEditor = editor;
    return editor;
}

void GridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    if (auto *date = qobject_cast<DateEditor *>(editor)) {
        date->setValue(index.data(Qt::EditRole).toDate());
    } else if (auto *dateTime = qobject_cast<QDateTimeEdit *>(editor)) {
        dateTime->setDateTime(index.data(Qt::EditRole).toDateTime());
    } else if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        if (combo->isEditable()) {
            combo->setEditText(text);
            // The line edit is not the combo's focus proxy, so the view does not select its text:
            // what the clerk types replaces the value, as in the other editors.
            combo->lineEdit()->selectAll();
        }
        else
            combo->setCurrentIndex(std::max(0, combo->findText(text)));
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setText(text);
    }
}

// Writes only what the clerk changed: an editor left as it was must not put the row in editing, and
// an untouched NULL must not become an empty text.
void GridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    const pg::FieldKind kind = m_model->fieldDef(index.column()).kind;
    const QString shown = index.data(Qt::DisplayRole).toString();
    const DisplayFormat &format = m_model->format();

    if (auto *date = qobject_cast<DateEditor *>(editor)) {
        const QDate value = date->value();
        if (value != index.data(Qt::EditRole).toDate())
            model->setData(index, value.isValid() ? QVariant(value) : QVariant());
        return;
    }
    if (auto *dateTime = qobject_cast<QDateTimeEdit *>(editor)) {
        if (dateTime->dateTime() != index.data(Qt::EditRole).toDateTime())
            model->setData(index, dateTime->dateTime());
        return;
    }
    QString text;
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        text = combo->currentText();
    else if (auto *line = qobject_cast<QLineEdit *>(editor))
        text = line->text();
    if (text == shown)
        return;
    if (text.isEmpty() && kind != FieldKind::String && kind != FieldKind::Memo) {
        model->setData(index, QVariant());
        return;
    }
    switch (kind) {
    case FieldKind::Boolean:
        model->setData(index, text == DisplayFormat::trueText());
        break;
    case FieldKind::Integer:
        if (const auto value = format.parseInteger(text))
            model->setData(index, *value);
        break;
    case FieldKind::Float:
        if (const auto value = format.parseFloat(text))
            model->setData(index, *value);
        break;
    default:
        model->setData(index, text);
        break;
    }
}

bool GridDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Committed at once rather than queued as Qt does, so that the move to the next cell
            // sees the value.
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            emit enterPressed();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace korvat::grid
