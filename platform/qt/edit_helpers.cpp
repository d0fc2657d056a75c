#include "platform/qt/edit_helpers.h"

#include <QLineEdit>

namespace vendrel {

TFormatSettings FormatSettingsOf(const QLocale& locale) {
    TFormatSettings fs;
    const QString sep = locale.decimalPoint();
    if (sep.size() == 1 && sep.at(0).unicode() < 0x80) {
        fs.DecimalSeparator = static_cast<char>(sep.at(0).unicode());
    }
    return fs;
}

namespace {
template <typename Read> double ReadInto(QLineEdit* Edit, const QLocale& locale, Read read) {
    const TEditRead r = read(Edit->text().toStdString(), FormatSettingsOf(locale));
    Edit->setText(QString::fromStdString(r.Text));
    return r.Value;
}
} // namespace

double ReadFloatEdit(QLineEdit* Edit, double Min, double Max, const QString& Format, double Default,
                     const QLocale& locale) {
    return ReadInto(Edit, locale, [&](const std::string& text, const TFormatSettings& fs) {
        return vendrel::ReadFloatEdit(text, Min, Max, Format.toStdString(), Default, fs);
    });
}

double ReadAngleEdit(QLineEdit* Edit, double Min, double Max, const QString& Format, double Default,
                     const QLocale& locale) {
    return ReadInto(Edit, locale, [&](const std::string& text, const TFormatSettings& fs) {
        return vendrel::ReadAngleEdit(text, Min, Max, Format.toStdString(), Default, fs);
    });
}

void FilterNumericKey(const QLineEdit* Edit, QChar& KeyChar, bool NoNegative, bool IntegerOnly,
                      const QLocale& locale) {
    char16_t key = KeyChar.unicode();
    vendrel::FilterNumericKey(Edit->text().toStdString(), key, NoNegative, IntegerOnly,
                              FormatSettingsOf(locale));
    KeyChar = QChar(key);
}

} // namespace vendrel
