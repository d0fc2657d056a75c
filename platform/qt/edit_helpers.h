#pragma once
// The numeric-edit helpers bound to Qt line edits and the user's locale.

#include "platform/core/edit_helpers.h"

#include <QChar>
#include <QLocale>
#include <QString>

class QLineEdit;

namespace vendrel {

// The decimal separator of a Qt locale ('.' when it is not a single ASCII character).
TFormatSettings FormatSettingsOf(const QLocale& locale = QLocale());

// Reads the edit's text, writes the checked number back in the pattern and returns it (see the core
// function of the same name).
double ReadFloatEdit(QLineEdit* Edit, double Min, double Max, const QString& Format, double Default,
                     const QLocale& locale = QLocale());
double ReadAngleEdit(QLineEdit* Edit, double Min, double Max, const QString& Format, double Default,
                     const QLocale& locale = QLocale());

// Filters a key typed into the edit; KeyChar becomes QChar() when refused.
void FilterNumericKey(const QLineEdit* Edit, QChar& KeyChar, bool NoNegative, bool IntegerOnly,
                      const QLocale& locale = QLocale());

} // namespace vendrel
