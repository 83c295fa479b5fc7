#!/bin/sh
# Builds the two Windows Installer packages, signed with a throw-away code-signing chain, at
# two versions (scripts/package.sh, reusing the builds in build/), and installs them into a
# fresh Wine prefix beside other programs' keys: each package writes its keys in the views it
# should, the per-machine one lets a script host create the add-in, a newer build upgrades in
# place keeping the settings, an older one and the other kind are refused, and removal leaves
# the registry and the disk as they were (Windows Installer's own bookkeeping aside).
# Usage: package-under-wine.sh WINE64 WORK_FOLDER INSTALL_CHECK.JS
set -eu
wine64=$1
work=$2
script=$3
root=$(cd "$(dirname "$0")/../.." && pwd)

prefix="$work/prefix"
. "$(dirname "$0")/wine-test-lib.sh"

stop_prefix
rm -rf "$work"
mkdir -p "$work"

step "A throw-away code-signing chain, and the packages at two versions"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tidepost Test Root" \
  -keyout "$work/root.key" -out "$work/root.pem" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  >/dev/null 2>&1
openssl req -newkey rsa:2048 -nodes -subj "/CN=Tidepost Test Publisher" \
  -keyout "$work/signer.key" -out "$work/signer.csr" >/dev/null 2>&1
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
  >"$work/signer.ext"
openssl x509 -req -in "$work/signer.csr" -CA "$work/root.pem" -CAkey "$work/root.key" \
  -CAcreateserial -days 2 -extfile "$work/signer.ext" -out "$work/signer.pem" >/dev/null 2>&1
old=$(sed -n 's/^project(Tidepost VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
new=$(echo "$old" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')
for version in "$old" "$new"; do
  "$root/scripts/package.sh" --out "$work/packages" --version "$version" \
    --sign-cert "$work/signer.pem" --sign-key "$work/signer.key" --sign-ca "$work/root.pem" \
    >/dev/null || fail "scripts/package.sh --version $version"
done
for msi in "$work"/packages/*.msi; do
  osslsigncode verify -CAfile "$work/root.pem" -in "$msi" >"$work/verify" 2>&1 ||
    fail "$(basename "$msi") does not verify: $(tail -3 "$work/verify")"
  grep -q "Message digest algorithm *: SHA256" "$work/verify" || fail "$(basename "$msi"): not SHA-256"
done
mkdir -p "$work/extracted"
(cd "$work/extracted" && msiextract "$work/packages/Tidepost-$old-machine.msi" >/dev/null)
find "$work/extracted" -name TidepostOutlookAddin.dll >"$work/dlls"
[ "$(wc -l <"$work/dlls")" -eq 2 ] || fail "the machine package does not carry two DLLs"
while IFS= read -r dll; do
  osslsigncode verify -CAfile "$work/root.pem" -in "$dll" >"$work/verify" 2>&1 ||
    fail "$dll does not verify"
done <"$work/dlls"
user_old="Z:$work/packages/Tidepost-$old-user.msi"
user_new="Z:$work/packages/Tidepost-$new-user.msi"
machine_old="Z:$work/packages/Tidepost-$old-machine.msi"
machine_new="Z:$work/packages/Tidepost-$new-machine.msi"

step "A fresh prefix"
fresh_prefix

clsid='{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}'
libid='{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}'
iconnect='{0DCB784F-D38C-40C0-86BD-352DB1F76872}'
office='Software\Microsoft\Office\Outlook'
w64='Software\Wow6432Node'

value_of() {  # KEY NAME: the data alone
  query "$1" 2>/dev/null | sed -n "s/^$2    REG_[A-Z_]*    //p"
}
msiexec() {  # msiexec ARGUMENTS...: its exit status
  status=0
  wine msiexec "$@" >/dev/null 2>&1 || status=$?
  return "$status"
}

# The registry and the disk, with Windows Installer's own bookkeeping, Wine's volatile parts,
# the add-in's own data (its log, its access time: the script host ran it) and the script
# left out.
snapshot() {
  mkdir -p "$work/$1"
  for key in HKLM\\Software HKCU\\Software; do
    name=$(echo "$key" | tr '\\' '_')
    wine reg export "$key" "Z:$work/$1/$name.reg" /y >/dev/null 2>&1 || fail "reg export $key"
    iconv -f UTF-16LE -t UTF-8 "$work/$1/$name.reg" | tr -d '\r' |
      awk '/^\[/ { skip = $0 ~ /\\Installer(\\|\])|\\Uninstall\\|\\Wine\\|\\Explorer\\|MSIEXEC|\\RunOnce/ }
           !skip && !/^"(AP_accessed_outlook|ProxyEnable)"=/' >"$work/$1/$name.txt"
    rm "$work/$1/$name.reg"
  done
  (cd "$prefix/drive_c" && find . -path ./windows -prune -o -path './users/*/Temp' -prune -o \
     -path './users/*/AppData/Local/Temp' -prune -o -path './users/*/AppData/LocalLow/Tidepost' \
     -prune -o -name install_check.js -o -print | sort) >"$work/$1/files.txt"
}
expect_snapshot() {  # BEFORE AFTER
  snapshot "$2"
  for file in "$work/$1"/*.txt; do
    diff "$file" "$work/$2/$(basename "$file")" >"$work/diff" ||
      fail "$(basename "$file") differs from before: $(head -20 "$work/diff")"
  done
}

step "Keys of other programs beside where ours go, in both views"
for hive in HKLM HKCU; do
  add_value "$hive\\Software\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}" Other x
  add_value "$hive\\Software\\Classes\\Wow6432Node\\CLSID\\{00000000-1111-2222-3333-444444444444}" Other x
  add_value "$hive\\Software\\Classes\\TidepostOutlookAddin.Other" Other x
  add_value "$hive\\$office\\Addins\\Other.Connect" LoadBehavior 3
  add_value "$hive\\$office\\FormRegions\\IPM.Note.Other" Other "=Other.Connect"
  add_value "$hive\\$office\\FormRegions\\ipm.note.tidepost.lumen" Other "=Other.Connect"
done
add_value "HKLM\\$w64\\Microsoft\\Office\\Outlook\\Addins\\Other.Connect" LoadBehavior 3
add_value "HKLM\\$w64\\Microsoft\\Office\\Outlook\\FormRegions\\IPM.Note.Other" Other "=Other.Connect"
add_value "HKLM\\Software\\Classes\\Interface\\{00000000-1111-2222-3333-555555555555}" Other x
add_value "HKLM\\Software\\Classes\\TypeLib\\{00000000-1111-2222-3333-666666666666}" Other x
# The add-in's own data, which removal leaves.
add_value 'HKCU\Software\Tidepost\Addon' AP_accessed_outlook 1700000000
snapshot before

step "The per-user package"
local_appdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
user_dll64="$local_appdata\\Programs\\Tidepost\\x64\\TidepostOutlookAddin.dll"
user_dll32="$local_appdata\\Programs\\Tidepost\\x86\\TidepostOutlookAddin.dll"
msiexec /i "$user_old" /qn CAMPAIGN=spring || fail "msiexec /i the per-user package"
classes='HKCU\Software\Classes'
expect_value "$classes\\TidepostOutlookAddin.Connect\\CLSID" "(Default)" REG_SZ "$clsid"
expect_value "$classes\\TidepostOutlookAddin.Connect.1\\CLSID" "(Default)" REG_SZ "$clsid"
expect_value "$classes\\CLSID\\$clsid\\InprocServer32" "(Default)" REG_SZ "$user_dll64"
expect_value "$classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32" "(Default)" REG_SZ "$user_dll32"
expect_value "$classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32" ThreadingModel REG_SZ Apartment
expect_key "$classes\\CLSID\\$clsid\\Programmable"
expect_value "$classes\\TypeLib\\$libid\\1.0\\0\\win64" "(Default)" REG_SZ "$user_dll64"
expect_value "$classes\\TypeLib\\$libid\\1.0\\0\\win32" "(Default)" REG_SZ "$user_dll32"
expect_value "$classes\\Wow6432Node\\Interface\\$iconnect\\TypeLib" "(Default)" REG_SZ "$libid"
expect_value "HKCU\\$office\\Addins\\TidepostOutlookAddin.Connect" LoadBehavior REG_DWORD 0x3
expect_value "HKCU\\$office\\Addins\\TidepostOutlookAddin.Connect" CommandLineSafe REG_DWORD 0x0
expect_value "HKCU\\$office\\Addins\\TidepostOutlookAddin.Connect" FriendlyName REG_SZ Tidepost
expect_value 'HKCU\Software\Tidepost\Tidepost' campaign REG_SZ spring
key_state 'HKCU\Software\Tidepost\Tidepost'
grep -q '^sender ' "$prefix.lines" && fail "a sender nobody gave"
user_id=$(value_of 'HKCU\Software\Tidepost' activeGuid)
echo "$user_id" | grep -Eq '^\{[0-9A-F-]{36}\}$' || fail "activeGuid is '$user_id'"
[ -n "$(find "$prefix/drive_c/users" -path '*/AppData/Local/Programs/Tidepost/x86/TidepostOutlookAddin.dll')" ] ||
  fail "the 32-bit DLL is not in the user's programs"
snapshot user-installed
for file in HKLM_Software.txt; do
  diff "$work/before/$file" "$work/user-installed/$file" >"$work/diff" &&
    true || fail "the per-user package wrote under HKLM: $(head -20 "$work/diff")"
done

step "The per-machine package is refused beside it"
if msiexec /i "$machine_old" /qn; then fail "the per-machine package installed over the per-user one"; fi
expect_no_key "HKLM\\Software\\Classes\\CLSID\\$clsid"

step "A newer per-user build upgrades in place; an older one is refused"
# Form regions the add-in registered for the user as it branded mail.
for region in IPM.Note.Tidepost.Acme IPM.Note.SMIME.Tidepost.Acme.SMIME IPM.Note.Brisklet.Acme; do
  add_value "HKCU\\$office\\FormRegions\\$region" "${region#IPM.Note.}" "=TidepostOutlookAddIn.Connect"
done
msiexec /i "$user_new" /qn || fail "msiexec /i the newer per-user package"
expect_value 'HKCU\Software\Tidepost' activeGuid REG_SZ "$user_id"
expect_value 'HKCU\Software\Tidepost\Tidepost' campaign REG_SZ spring
expect_key "HKCU\\$office\\FormRegions\\IPM.Note.Tidepost.Acme"
expect_value "$classes\\CLSID\\$clsid\\InprocServer32" "(Default)" REG_SZ "$user_dll64"
if msiexec /i "$user_old" /qn; then fail "the older per-user package installed over the newer"; fi
expect_value "$classes\\CLSID\\$clsid\\InprocServer32" "(Default)" REG_SZ "$user_dll64"

step "Removing the per-user package"
msiexec /x "$user_new" /qn || fail "msiexec /x the per-user package"
expect_no_key "HKCU\\$office\\FormRegions\\IPM.Note.Tidepost.Acme"
expect_snapshot before user-removed

step "The per-machine package, as DllRegisterServer writes it"
# What regsvr32 writes for the 64-bit DLL at the package's place, to compare with.
ours() {  # the 64-bit view's keys of ours under HKLM, as sorted "[key] value" lines
  for key in "HKLM\\Software\\Classes\\TidepostOutlookAddin.Connect" \
             "HKLM\\Software\\Classes\\TidepostOutlookAddin.Connect.1" \
             "HKLM\\Software\\Classes\\CLSID\\$clsid" "HKLM\\Software\\Classes\\TypeLib\\$libid" \
             "HKLM\\Software\\Classes\\Interface\\$iconnect" \
             "HKLM\\$office\\Addins\\TidepostOutlookAddin.Connect" \
             "HKLM\\$office\\FormRegions\\IPM.Note.Tidepost"; do
    wine reg export "$key" "Z:$work/key.reg" /y >/dev/null 2>&1 || { echo "missing $key"; continue; }
    iconv -f UTF-16LE -t UTF-8 "$work/key.reg" | tr -d '\r' |
      awk '/^\[/ { section = $0; print; next } NF && !/^Windows Registry/ { print section " " $0 }'
  done | grep -Fv '\0\win32]' | sort
}
mkdir -p "$prefix/drive_c/Program Files/Tidepost"
while IFS= read -r dll; do
  x86_64-w64-mingw32-objdump -f "$dll" | grep -q 'pei-x86-64' && dll64_file=$dll
done <"$work/dlls"
cp "$dll64_file" \
  "$prefix/drive_c/Program Files/Tidepost/TidepostOutlookAddin.dll"
wine regsvr32 /s 'C:\Program Files\Tidepost\TidepostOutlookAddin.dll' || fail "regsvr32"
ours >"$work/registered"
wine regsvr32 /s /u 'C:\Program Files\Tidepost\TidepostOutlookAddin.dll' || fail "regsvr32 /u"
rm -rf "$prefix/drive_c/Program Files/Tidepost"
expect_snapshot before unregistered

msiexec /i "$machine_old" /qn SENDER=acme || fail "msiexec /i the per-machine package"
ours >"$work/packaged"
diff "$work/registered" "$work/packaged" >"$work/diff" ||
  fail "the package's 64-bit keys differ from DllRegisterServer's: $(head -20 "$work/diff")"
dll64='C:\Program Files\Tidepost\TidepostOutlookAddin.dll'
dll32='C:\Program Files (x86)\Tidepost\TidepostOutlookAddin.dll'
expect_value "HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32" "(Default)" REG_SZ "$dll32"
expect_value "HKLM\\Software\\Classes\\TypeLib\\$libid\\1.0\\0\\win32" "(Default)" REG_SZ "$dll32"
expect_value "HKLM\\Software\\Classes\\Wow6432Node\\Interface\\$iconnect\\TypeLib" "(Default)" REG_SZ "$libid"
expect_value "HKLM\\$w64\\Microsoft\\Office\\Outlook\\Addins\\TidepostOutlookAddin.Connect" LoadBehavior REG_DWORD 0x3
expect_value "HKLM\\$w64\\Microsoft\\Office\\Outlook\\FormRegions\\IPM.Note.Tidepost" Tidepost REG_SZ "=TidepostOutlookAddIn.Connect"
for view in Software "$w64"; do
  expect_value "HKLM\\$view\\Tidepost\\Tidepost" sender REG_SZ acme
done
install_id=$(value_of 'HKLM\Software\Tidepost' activeGuid)
echo "$install_id" | grep -Eq '^\{[0-9A-F-]{36}\}$' || fail "activeGuid is '$install_id'"
expect_value "HKLM\\$w64\\Tidepost" activeGuid REG_SZ "$install_id"
[ -f "$prefix/drive_c/Program Files (x86)/Tidepost/TidepostOutlookAddin.dll" ] ||
  fail "the 32-bit DLL is not in Program Files (x86)"

step "A script host creates the add-in by its ProgID"
run_script_checks "$script"

step "The per-user package is refused beside it; a newer build upgrades, an older is refused"
if msiexec /i "$user_old" /qn; then fail "the per-user package installed over the per-machine one"; fi
expect_no_key "HKCU\\Software\\Classes\\CLSID\\$clsid"
msiexec /i "$machine_new" /qn LOADBEHAVIOR=2 || fail "msiexec /i the newer per-machine package"
expect_value 'HKLM\Software\Tidepost' activeGuid REG_SZ "$install_id"
expect_value 'HKLM\Software\Tidepost\Tidepost' sender REG_SZ acme
expect_value "HKLM\\$office\\Addins\\TidepostOutlookAddin.Connect" LoadBehavior REG_DWORD 0x2
if msiexec /i "$machine_old" /qn; then fail "the older per-machine package installed over the newer"; fi

step "Removing the per-machine package"
add_value "HKCU\\$office\\FormRegions\\IPM.Note.Tidepost.Acme" Tidepost.Acme "=TidepostOutlookAddIn.Connect"
msiexec /x "$machine_new" /qn || fail "msiexec /x the per-machine package"
expect_snapshot before machine-removed

finish package "$work"
