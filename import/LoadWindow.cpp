#include "import/LoadWindow.h"

#include "common/TimeMapping.h"

TDateTime StartTranslationTime(bool dateChecked, TDateTime date, TDateTime time)
{
    return CombineDateAndTime(dateChecked ? date : 0.0, time);
}

TLoadWindow MakeLoadWindow(TDateTime start, float videoDuration)
{
    return {start, VideoToChartTime(start, videoDuration)};
}
