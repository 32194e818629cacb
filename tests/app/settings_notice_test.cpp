#include "app/SettingsNotice.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsNoticeTest, NamesEachCellWhatItHeldAndWhatIsUsed)
{
    SettingsValues values;
    values.imageWidth = 100000;
    values.imageWidthText = "100000";
    values.imageHeight = 100000;
    values.imageHeightText = "100000";
    values.delaySeconds = 0;
    values.delaySecondsText = "0";
    const QString notice = SettingsNotice(BoundSettingsValues(values));
    EXPECT_EQ(values.imageWidth, 640);
    EXPECT_EQ(values.imageHeight, 480);
    EXPECT_EQ(notice,
        QString("配置文件中的数值无法使用：B5（图像宽度）为“100000”，改用 640；B6（图像高度）为“100000”，改用 480；"
                "B8（延时秒数）为“0”，改用 5"));
}

TEST(SettingsNoticeTest, SayNothingWhenEveryValueIsUsable)
{
    SettingsValues values;
    EXPECT_TRUE(SettingsNotice(BoundSettingsValues(values)).isEmpty());
}

} // namespace
