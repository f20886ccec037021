#include "platform/QtDialogService.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace delvar::platform {

namespace {
QMessageBox::Icon IconOf(core::MessageIcon icon) {
    switch (icon) {
        case core::MessageIcon::Information:
            return QMessageBox::Information;
        case core::MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case core::MessageIcon::Critical:
            return QMessageBox::Critical;
        case core::MessageIcon::Question:
            return QMessageBox::Question;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(core::MessageButtons buttons) {
    switch (buttons) {
        case core::MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case core::MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case core::MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case core::MessageButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}
}  // namespace

std::string QtFileFilter(const std::string& filter) {
    if (filter.empty()) return {};
    QStringList parts = QString::fromStdString(filter).split('|');
    if (parts.size() % 2 == 1) parts << parts.back();  // a lone pattern is its own label
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ').trimmed();
        if (patterns.isEmpty()) continue;
        const QString shown = "(" + patterns + ")";
        out << (parts[i].trimmed().endsWith(shown) ? parts[i].trimmed() : parts[i] + " " + shown);
    }
    return out.join(";;").toStdString();
}

core::MessageAnswer QtDialogService::ShowMessage(const core::Message& message) {
    QMessageBox box(IconOf(message.icon), QString::fromStdString(message.title),
                    QString::fromStdString(message.text), ButtonsOf(message.buttons), parent_);
    // Error texts quote whatever failed; "<" in them must not be taken for markup.
    box.setTextFormat(Qt::PlainText);
    if (message.systemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return core::MessageAnswer::Yes;
        case QMessageBox::No:
            return core::MessageAnswer::No;
        case QMessageBox::Cancel:
            return core::MessageAnswer::Cancel;
        case QMessageBox::Retry:
            return core::MessageAnswer::Retry;
        default:
            return core::MessageAnswer::Ok;
    }
}

std::optional<std::string> QtDialogService::AskText(const std::string& prompt,
                                                    const std::string& title,
                                                    const std::string& initial) {
    bool ok = false;
    QString text = QInputDialog::getText(parent_, QString::fromStdString(title),
                                         QString::fromStdString(prompt), QLineEdit::Normal,
                                         QString::fromStdString(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

std::optional<std::string> QtDialogService::AskOpenFile(const std::string& title,
                                                        const std::string& filter,
                                                        const std::string& initial) {
    return Chosen(QFileDialog::getOpenFileName(parent_, QString::fromStdString(title),
                                               QString::fromStdString(initial),
                                               QString::fromStdString(QtFileFilter(filter))));
}

std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* parent, const core::FileRequest& request) {
    auto dialog = std::make_unique<QFileDialog>(
        parent, QString::fromStdString(request.title), QString::fromStdString(request.initial),
        QString::fromStdString(QtFileFilter(request.filter)));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    dialog->setOption(QFileDialog::DontUseNativeDialog, !request.defaultSuffix.empty());
    return dialog;
}

std::optional<std::string> QtDialogService::AskSaveFile(const core::FileRequest& request) {
    const auto dialog = MakeSaveDialog(parent_, request);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return Chosen(dialog->selectedFiles().constFirst());
}

}  // namespace delvar::platform
