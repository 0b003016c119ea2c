#include "common/LoadProgress.h"

void ReportLoadProgress(TLoadProgress* progress, qint64 done, qint64 total)
{
    if (progress && !progress->Step(done, total))
        throw LoadCancelled();
}
