// IContextMenu: placeholders that add nothing and do nothing until the command
// road is built.
#include "shellext/shell_extension.h"

namespace korvane {

STDMETHODIMP ShellExtension::QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) {
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
}

STDMETHODIMP ShellExtension::InvokeCommand(CMINVOKECOMMANDINFO*) { return S_OK; }

STDMETHODIMP ShellExtension::GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT) { return S_OK; }

}  // namespace korvane
