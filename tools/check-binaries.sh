#!/usr/bin/env bash
# Checks the import and export tables of built Windows binaries.
#   check-binaries.sh OBJDUMP PROCESSOR file.dll|file.exe ...
# - imports come only from system DLLs (the C and C++ runtimes are linked in);
# - a DLL exports exactly DllGetClassObject and DllCanUnloadNow, undecorated;
# - a 32-bit binary imports nothing that Windows XP lacks (the import lines are read
#   with POSIX classes: the system's awk may be mawk, which knows no \s);
# - a 32-bit binary binds no W function at load time but the three the static runtime
#   imports: the 9x family lacks many W functions, and a library whose import table
#   names one its system lacks is not loaded at all. The extension's own W calls are
#   bound at run time (src/os/late_bound.h); they are listed from the binary's strings.
set -u
objdump=$1 processor=$2; shift 2
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|shlwapi|msvcrt|version|uxtheme)\.dll$'
# Functions of Vista and later that a static runtime is known to pull in.
newer='^(GetTickCount64|InitializeConditionVariable|SleepConditionVariable(CS|SRW)|WakeAllConditionVariable|WakeConditionVariable|InitializeSRWLock|AcquireSRWLock(Exclusive|Shared)|ReleaseSRWLock(Exclusive|Shared)|TryAcquireSRWLock(Exclusive|Shared)|InitOnce[A-Za-z]*|GetCurrentProcessorNumber|CreateSymbolicLink[AW]|GetFinalPathNameByHandle[AW]|SetFileInformationByHandle|GetFileInformationByHandleEx|FlsAlloc|FlsFree|FlsGetValue|FlsSetValue|GetLocaleInfoEx|LCMapStringEx|CompareStringEx|GetUserDefaultLocaleName|InitializeCriticalSectionEx|GetErrorMode|RegDeleteKeyEx[AW]|RegGetValue[AW]|CreateEventEx[AW]|CreateMutexEx[AW]|CreateSemaphoreEx[AW]|QueryFullProcessImageName[AW]|GetSystemTimePreciseAsFileTime)$'
# Imported by the static C and C++ runtime; kernel32 of the 9x family exports them
# (as stubs that fail, which the runtime tolerates).
runtime_wide='^(CreateSemaphoreW|GetModuleHandleW|LoadLibraryW)$'
passed=0 failed=0
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
ok() { echo "ok: $*"; passed=$((passed + 1)); }

for f in "$@"; do
  name=$(basename "$f")
  dump=$("$objdump" -p "$f") || { fail "$name: objdump failed"; continue; }
  dlls=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  bad=$(printf '%s\n' "$dlls" | grep -Ev "$allowed" || true)
  [ -z "$bad" ] && ok "$name imports only system DLLs: $(echo $dlls)" || fail "$name imports $(echo $bad)"

  if [[ $name == *.dll ]]; then
    exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[\s*[0-9]*\] //p' | sort | tr '\n' ' ')
    [ "$exports" = "DllCanUnloadNow DllGetClassObject " ] && ok "$name exports exactly $exports" || fail "$name exports '$exports'"
  fi

  if [ "$processor" = i686 ] || [ "$processor" = x86 ]; then
    funcs=$(printf '%s\n' "$dump" | awk '/DLL Name:/ {in_imp=1} in_imp && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ {print $3}' | sort -u)
    newer_found=$(printf '%s\n' "$funcs" | grep -E "$newer" || true)
    [ -z "$newer_found" ] && ok "$name imports nothing newer than Windows XP" || fail "$name imports $(echo $newer_found)"
    wide=$(printf '%s\n' "$funcs" | grep -E '^[A-Za-z_][A-Za-z0-9_]*W$' || true)
    own_wide=$(printf '%s\n' "$wide" | grep -Ev "$runtime_wide" | grep -v '^$' || true)
    late=$(comm -23 <(strings -a "$f" | grep -E '^[A-Z][A-Za-z0-9]+W$' | sort -u) <(printf '%s\n' "$wide" | sort -u) |
      tr '\n' ' ')
    echo "   $name: W functions bound at load time: $(echo $wide); bound at run time: $late"
    [ -z "$own_wide" ] && ok "$name binds no W function at load time but the runtime's" ||
      fail "$name binds W functions at load time: $(echo $own_wide)"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
