#include "platform/qt/qt_file_dialog.h"

#include <QDir>
#include <QFileDialog>

namespace vendrel {

std::string QtFileDialog::QtFilter(const std::string& Filter) {
    std::string out;
    size_t at = 0;
    while (at < Filter.size()) {
        const size_t bar = Filter.find('|', at);
        if (bar == std::string::npos) {
            break;
        }
        const size_t next = Filter.find('|', bar + 1);
        const std::string caption = Filter.substr(at, bar - at);
        std::string patterns =
            Filter.substr(bar + 1, next == std::string::npos ? std::string::npos : next - bar - 1);
        for (char& c : patterns) {
            if (c == ';') {
                c = ' ';
            }
        }
        if (!out.empty()) {
            out += ";;";
        }
        out += caption + " (" + patterns + ")";
        if (next == std::string::npos) {
            break;
        }
        at = next + 1;
    }
    return out;
}

std::optional<std::string> QtFileDialog::Execute(const TFileDialogRequest& Request) {
    const QString filter = QString::fromStdString(QtFilter(Request.Filter));
    QString start = QString::fromStdString(Request.InitialDir);
    if (!Request.FileName.empty()) {
        start = QDir(start).filePath(QString::fromStdString(Request.FileName));
    }
    const QString chosen = Request.Kind == TFileDialogKind::fdSave
                               ? QFileDialog::getSaveFileName(parent_, QString(), start, filter)
                               : QFileDialog::getOpenFileName(parent_, QString(), start, filter);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.toStdString();
}

} // namespace vendrel
