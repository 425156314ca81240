#!/usr/bin/env python3
"""Text-bearing system calls stay in src/os/.

The edge in src/os/ is the only code that hands text to the system or takes text
from it: it calls the W functions on the NT family and the A functions, with an
exact conversion, on the 9x family. Everything else works on UTF-16 and calls the
edge. This check reads every source file outside src/os/ (comments and string
literals removed) and fails on:
  - a call of a system function that takes or gives text: file and folder paths,
    registry texts, shell paths, window and control texts, message boxes, menus,
    string resources, dialog creation and the message pump (whose A or W form decides
    whether a window is Unicode), code-page conversions, HTML Help;
  - a text-bearing message: window text, combo box items, list-view texts, the
    folder browser's selection.
Names the code gives itself in ASCII (a window property, a clipboard format, a class
name it compares) are no text of the user's and are not listed.

    check_text_edge.py [source root]     (default: the src folder beside tools/)
"""
import pathlib
import re
import sys

FUNCTIONS = """
FindFirstFile FindFirstFileEx FindNextFile CopyFile CopyFileEx MoveFile MoveFileEx
MoveFileWithProgress CreateDirectory CreateDirectoryEx CreateFile DeleteFile RemoveDirectory
GetFileAttributes GetFileAttributesEx SetFileAttributes GetFullPathName GetLongPathName
GetShortPathName GetModuleFileName GetSystemDirectory GetWindowsDirectory GetTempPath
GetCurrentDirectory SetCurrentDirectory CharUpperBuff CharLowerBuff CharUpper CharLower
LoadLibrary LoadLibraryEx RegQueryValueEx RegSetValueEx RegOpenKeyEx RegCreateKeyEx
RegDeleteKey RegEnumValue RegEnumKeyEx DragQueryFile SHBrowseForFolder SHGetPathFromIDList
ShellExecute ShellExecuteEx LoadString SetWindowText GetWindowText GetWindowTextLength
SetDlgItemText GetDlgItemText MessageBox MessageBoxEx InsertMenu AppendMenu ModifyMenu
DialogBoxParam DialogBoxIndirectParam CreateDialogParam CreateDialogIndirectParam
PeekMessage GetMessage DispatchMessage IsDialogMessage GetTextExtentPoint32 TextOut
DrawText CreateFontIndirect GetPrivateProfileSection WritePrivateProfileSection
GetPrivateProfileString WritePrivateProfileString GetCommandLine ExpandEnvironmentStrings
GetVersionEx MultiByteToWideChar WideCharToMultiByte HtmlHelp lstrcmp lstrcmpi lstrcpy
lstrcpyn lstrcat wsprintf CreateFileMapping OpenFileMapping
""".split()

MESSAGES = """
WM_SETTEXT WM_GETTEXT WM_GETTEXTLENGTH CB_ADDSTRING CB_INSERTSTRING CB_GETLBTEXT
CB_GETLBTEXTLEN CB_FINDSTRING CB_FINDSTRINGEXACT CB_SELECTSTRING LB_ADDSTRING LB_GETTEXT
LVM_GETITEMTEXTA LVM_GETITEMTEXTW LVM_SETITEMTEXTA LVM_SETITEMTEXTW LVM_GETITEMA
LVM_GETITEMW LVM_SETITEMA LVM_SETITEMW LVM_INSERTITEMA LVM_INSERTITEMW LVM_INSERTCOLUMNA
LVM_INSERTCOLUMNW LVN_GETDISPINFOA LVN_GETDISPINFOW BFFM_SETSELECTIONA BFFM_SETSELECTIONW
""".split()

# Conversions the system does not count as A or W functions, and the W-only calls.
BARE = {"MultiByteToWideChar", "WideCharToMultiByte", "HtmlHelp"}

CALL = re.compile(r"\b(" + "|".join(sorted(FUNCTIONS, key=len, reverse=True)) + r")(A|W)?\s*\(")
MESSAGE = re.compile(r"\b(" + "|".join(MESSAGES) + r")\b")
# Comments, then string and character literals (with their escapes).
COMMENT = re.compile(r"//[^\n]*|/\*.*?\*/", re.S)
LITERAL = re.compile(r'"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'')


def strip(text):
    # Each removed piece keeps its line breaks, so line numbers stay.
    def blank(match):
        return re.sub(r"[^\n]", " ", match.group(0))
    return COMMENT.sub(blank, LITERAL.sub(blank, text))


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "src")
    edge = root / "os"
    found = []
    files = 0
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".cpp", ".h") or edge in path.parents:
            continue
        files += 1
        code = strip(path.read_text(encoding="utf-8"))
        for number, line in enumerate(code.splitlines(), 1):
            for match in CALL.finditer(line):
                if match.group(2) or match.group(1) in BARE:
                    found.append(f"{path.relative_to(root)}:{number}: {match.group(0).rstrip('( ')}")
            for match in MESSAGE.finditer(line):
                found.append(f"{path.relative_to(root)}:{number}: {match.group(0)}")
    for line in found:
        print("FAIL: text-bearing call outside the edge:", line)
    print(f"checked {files} files outside {edge.relative_to(root.parent)}/")
    print(f"{0 if found else 1} passed, {1 if found else 0} failed")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
