// The three task kinds the runner dispatches to.
#pragma once

namespace dorvik {

struct Beh;

// Order deadline reminders (kind "zakazka").
void zakazky(Beh& beh);
// Device service-date reminders (kind "zarizeni").
void zarizeni(Beh& beh);
// Database backup (kind "zalohovani").
void zalohovani(Beh& beh);

}  // namespace dorvik
