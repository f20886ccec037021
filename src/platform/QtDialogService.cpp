#include "platform/QtDialogService.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace delvar::platform {

namespace {
QMessageBox::Icon IconOf(app::MessageIcon icon) {
    switch (icon) {
        case app::MessageIcon::Information:
            return QMessageBox::Information;
        case app::MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case app::MessageIcon::Critical:
            return QMessageBox::Critical;
        case app::MessageIcon::Question:
            return QMessageBox::Question;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(app::MessageButtons buttons) {
    switch (buttons) {
        case app::MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case app::MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case app::MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case app::MessageButtons::RetryCancel:
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
        if (!patterns.isEmpty()) out << parts[i] + " (" + patterns + ")";
    }
    return out.join(";;").toStdString();
}

app::MessageAnswer QtDialogService::ShowMessage(const app::Message& message) {
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
            return app::MessageAnswer::Yes;
        case QMessageBox::No:
            return app::MessageAnswer::No;
        case QMessageBox::Cancel:
            return app::MessageAnswer::Cancel;
        case QMessageBox::Retry:
            return app::MessageAnswer::Retry;
        default:
            return app::MessageAnswer::Ok;
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

std::optional<std::string> QtDialogService::AskSaveFile(const std::string& title,
                                                        const std::string& filter,
                                                        const std::string& initial) {
    return Chosen(QFileDialog::getSaveFileName(parent_, QString::fromStdString(title),
                                               QString::fromStdString(initial),
                                               QString::fromStdString(QtFileFilter(filter))));
}

}  // namespace delvar::platform
