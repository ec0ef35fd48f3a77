#include "app/core/data_rec.h"

#include "app/core/map_profile.h"
#include "app/core/w3c_date.h"
#include "platform/rtl/date_time.h"

TDataRec NewDataRec(const TMapProfile& Profile) {
    TDataRec rec;
    rec.ChangeFreq = Profile.DefFreq();
    rec.Priority = Profile.DefPri();
    rec.LastMod = W3CDateTime(Now());
    return rec;
}
