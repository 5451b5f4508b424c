// Placeholder until the page is built: its dialog template is not in the
// resources yet, so the wizard ends cleanly before this is ever called.
#include "pages/pages.h"

INT_PTR CALLBACK groupPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
