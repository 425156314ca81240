// Resource ids shared by the .rc files and the code.
#pragma once

#define IDS_APP_CAPTION 75
