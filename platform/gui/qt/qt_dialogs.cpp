// The toolkit's own dialogs for the questions the program asks a person.
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "platform/gui/qt/qt_dialogs.h"
#include "platform/gui/system.h"

namespace pw::gui::qt {
namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

QStringList NameFilters(const std::string& filter) {
    QStringList out;
    for (const std::string& f : ToolkitNameFilters(filter))
        out << Text(f);
    return out;
}

QMessageBox::Icon IconOf(unsigned icon) {
    switch (icon) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

PromptAnswer AskMessage(const PromptRequest& r) {
    QMessageBox box(IconOf(r.icon), Text(r.caption), Text(r.text));
    std::vector<QPushButton*> buttons;
    for (const PromptButton& b : r.buttons)
        buttons.push_back(box.addButton(Text(b.caption), QMessageBox::AcceptRole));
    if (r.defaultButton < buttons.size()) box.setDefaultButton(buttons[r.defaultButton]);
    // Escape and the title bar's close button give the answer of closing the box (Cancel where
    // there is one); without an escape button the toolkit ignores both.
    for (size_t i = 0; i < buttons.size(); ++i)
        if (r.buttons[i].result == r.cancelResult) box.setEscapeButton(buttons[i]);
    box.exec();
    PromptAnswer a;
    a.result = r.cancelResult;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) a.result = r.buttons[i].result;
    return a;
}

PromptAnswer AskFile(const PromptRequest& r) {
    QFileDialog dialog(nullptr, Text(r.caption), Text(r.initialDir));
    bool save = r.kind == PromptKind::SaveFile;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Overwrite and existence questions are asked by the dialog classes themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (r.kind == PromptKind::SelectFolder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        if (!r.value.empty()) dialog.setDirectory(Text(r.value));
    } else {
        dialog.setFileMode(r.multiSelect ? QFileDialog::ExistingFiles
                           : save        ? QFileDialog::AnyFile
                                         : QFileDialog::ExistingFile);
        QStringList filters = NameFilters(r.filter);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            if (r.filterIndex >= 1 && r.filterIndex <= filters.size())
                dialog.selectNameFilter(filters[r.filterIndex - 1]);
        }
        if (!r.defaultExt.empty()) dialog.setDefaultSuffix(Text(r.defaultExt));
        if (!r.value.empty()) dialog.selectFile(Text(r.value));
    }
    PromptAnswer a;
    a.result = IDCANCEL;
    a.filterIndex = r.filterIndex;
    if (dialog.exec() != QDialog::Accepted) return a;
    a.result = IDOK;
    for (const QString& f : dialog.selectedFiles())
        a.files.push_back(f.toStdString());
    if (!a.files.empty()) a.value = a.files.front();
    int index = NameFilters(r.filter).indexOf(dialog.selectedNameFilter());
    if (index >= 0) a.filterIndex = index + 1;
    return a;
}

} // namespace

PromptAnswer AskWithDialog(const PromptRequest& r) {
    switch (r.kind) {
    case PromptKind::Message:
        return AskMessage(r);
    case PromptKind::Input: {
        bool ok = false;
        QString value =
            QInputDialog::getText(nullptr, Text(r.caption), Text(r.text),
                                  r.masked ? QLineEdit::Password : QLineEdit::Normal, Text(r.value), &ok);
        PromptAnswer a;
        a.result = ok ? IDOK : IDCANCEL;
        a.value = ok ? value.toStdString() : r.value;
        return a;
    }
    case PromptKind::Color: {
        // TColor is $00BBGGRR.
        QColor initial(r.color & 0xFF, (r.color >> 8) & 0xFF, (r.color >> 16) & 0xFF);
        QColor chosen = QColorDialog::getColor(initial, nullptr, Text(r.caption));
        PromptAnswer a;
        a.result = chosen.isValid() ? IDOK : IDCANCEL;
        a.color = chosen.isValid()
                      ? static_cast<TColor>(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16))
                      : r.color;
        return a;
    }
    default:
        return AskFile(r);
    }
}

} // namespace pw::gui::qt
