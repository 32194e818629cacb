#include "pipeline/FunEffectNames.h"

#include <QCoreApplication>

const char* FunEffectSourceName(FunEffect effect)
{
    switch (effect) {
    case kFunNone:
        return QT_TRANSLATE_NOOP("Commands", "无");
    case kFunBulge:
        return QT_TRANSLATE_NOOP("Commands", "凸透镜");
    case kFunPinch:
        return QT_TRANSLATE_NOOP("Commands", "凹透镜");
    case kFunTwirl:
        return QT_TRANSLATE_NOOP("Commands", "漩涡");
    case kFunStretch:
        return QT_TRANSLATE_NOOP("Commands", "拉长");
    case kFunSqueeze:
        return QT_TRANSLATE_NOOP("Commands", "压扁");
    case kFunFishEye:
        return QT_TRANSLATE_NOOP("Commands", "鱼眼");
    case kFunMirror:
        return QT_TRANSLATE_NOOP("Commands", "左右对称");
    case kFunKaleidoscope:
        return QT_TRANSLATE_NOOP("Commands", "万花筒");
    case kFunLightTunnel:
        return QT_TRANSLATE_NOOP("Commands", "光隧道");
    case kFunBigHead:
        return QT_TRANSLATE_NOOP("Commands", "大头");
    case kFunThinFace:
        return QT_TRANSLATE_NOOP("Commands", "瘦脸");
    case kFunThermal:
        return QT_TRANSLATE_NOOP("Commands", "热成像");
    case kFunXRay:
        return QT_TRANSLATE_NOOP("Commands", "X光");
    case kFunComic:
        return QT_TRANSLATE_NOOP("Commands", "漫画");
    case kFunPop:
        return QT_TRANSLATE_NOOP("Commands", "波普");
    case kFunMosaic:
        return QT_TRANSLATE_NOOP("Commands", "马赛克");
    case kFunOldFilm:
        return QT_TRANSLATE_NOOP("Commands", "老电影");
    }
    return "";
}

QString FunEffectName(FunEffect effect)
{
    return QCoreApplication::translate("Commands", FunEffectSourceName(effect));
}

QString FunPreviewLabel(FunEffect effect)
{
    // The middle tile is the picture as it is, not an effect called "none".
    if (effect == kFunNone)
        return QCoreApplication::translate("Commands", "原图");
    return FunEffectName(effect);
}
