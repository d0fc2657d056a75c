#include "platform/qt/edit_helpers.h"

#include "tests/platform/qt/qt_app.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace vendrel {
namespace {

TEST(QtEditHelpers, ReadsAndRewritesTheFieldInTheLocale) {
    testing::EnsureQApplication();
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(FormatSettingsOf(german).DecimalSeparator, ',');
    EXPECT_EQ(FormatSettingsOf(english).DecimalSeparator, '.');

    QLineEdit edit;
    edit.setText("1.5");
    EXPECT_DOUBLE_EQ(ReadFloatEdit(&edit, 0, 10, "0.00", 0, german), 1.5);
    EXPECT_EQ(edit.text(), "1,50");
    edit.setText("2,5");
    EXPECT_DOUBLE_EQ(ReadFloatEdit(&edit, 0, 2, "0.0", 0, english), 2.0);
    EXPECT_EQ(edit.text(), "2.0");
    edit.setText("270");
    EXPECT_DOUBLE_EQ(ReadAngleEdit(&edit, -180, 180, "0", 0, english), -90.0);
    EXPECT_EQ(edit.text(), "-90");

    edit.setText("1,5");
    QChar key(',');
    FilterNumericKey(&edit, key, false, false, german);
    EXPECT_TRUE(key.isNull());
    key = QChar('.');
    FilterNumericKey(&edit, key, false, false, english);
    EXPECT_EQ(key, QChar('.'));
}

} // namespace
} // namespace vendrel
