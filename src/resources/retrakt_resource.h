// String ids of the uninstaller's own string table (Retrakt.exe only; the icon id
// IDI_RETRAKT is in resource.h).
#pragma once

#define IDS_RETRAKT_CAPTION 1
#define IDS_RETRAKT_CONFIRM 2
#define IDS_RETRAKT_NO_RIGHTS 3
#define IDS_RETRAKT_DONE 4
