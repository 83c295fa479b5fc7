#!/bin/sh
# Installs TidepostOutlookAddin.dll into a fresh Wine prefix as an installer does, per machine
# (regsvr32) and per user (regsvr32 /n /i:user), and checks each step: the keys read back with
# reg query; a script host and a test program creating the add-in by its ProgID as Outlook
# does; removal, which must leave nothing of ours and everything of others.
# Usage: install-under-wine.sh WINE64 PREFIX DLL INSTALL_TESTS.EXE INSTALL_CHECK.JS
set -eu
wine64=$1
prefix=$2
dll=$3
tests=$4
script=$5

. "$(dirname "$0")/wine-test-lib.sh"

work="$prefix.work"
stop_prefix
rm -rf "$work"
mkdir -p "$work"

step "A fresh prefix"
fresh_prefix

folder='C:\Program Files\Tidepost'
installed="$folder\\TidepostOutlookAddin.dll"
mkdir -p "$prefix/drive_c/Program Files/Tidepost"
cp "$dll" "$prefix/drive_c/Program Files/Tidepost/TidepostOutlookAddin.dll"

clsid='{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}'
libid='{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}'
office='Software\Microsoft\Office\Outlook'

# The registry where ours go, exported (reg export) into a folder.
snapshot() {
  mkdir -p "$work/$1"
  for key in 'HKLM\Software\Classes' 'HKCU\Software\Classes' "HKLM\\$office" "HKCU\\$office"; do
    name=$(echo "$key" | tr '\\' '_')
    wine reg export "$key" "Z:$work/$1/$name.reg" /y >/dev/null 2>&1 || fail "reg export $key"
  done
}
expect_snapshot() {
  snapshot "$2"
  diff -r "$work/$1" "$work/$2" >/dev/null || fail "the registry differs from before: $(
    for file in "$work/$1"/*.reg; do
      iconv -f UTF-16LE -t UTF-8 "$file" >"$file.txt" 2>/dev/null || true
      iconv -f UTF-16LE -t UTF-8 "$work/$2/$(basename "$file")" \
        >"$work/$2/$(basename "$file").txt" 2>/dev/null || true
      diff "$file.txt" "$work/$2/$(basename "$file").txt" | head -20
    done)"
}

step "Keys of other programs beside where ours go"
for root in HKLM HKCU; do
  add_value "$root\\Software\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}" "" "Other"
  add_value "$root\\Software\\Classes\\TidepostOutlookAddin.Other" "" "Other"
  add_value "$root\\$office\\Addins\\Other.Connect" LoadBehavior "3"
  for region in IPM.Note IPM.Note.Other ipm.note.tidepost.lumen IPM.Note.tidepostal \
                IPM.Note.SMIME.Other IPM.Post.Tidepost.Acme; do
    add_value "$root\\$office\\FormRegions\\$region" Other "=Other.Connect"
  done
done
snapshot before
# And the form regions that the add-in registers for the user as it brands mail.
for region in IPM.Note.Tidepost.Acme IPM.Note.SMIME.Tidepost.Acme.SMIME \
              IPM.Note.SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned \
              IPM.Note.Brisklet.Acme; do
  add_value "HKCU\\$office\\FormRegions\\$region" "${region#IPM.Note.}" "=TidepostOutlookAddIn.Connect"
done

# expect_registered ROOT: the classes and add-in entry under HKLM or HKCU.
expect_registered() {
  classes="$1\\Software\\Classes"
  expect_value "$classes\\TidepostOutlookAddin.Connect.1" "(Default)" REG_SZ "Connect Class"
  expect_value "$classes\\TidepostOutlookAddin.Connect.1\\CLSID" "(Default)" REG_SZ "$clsid"
  expect_value "$classes\\TidepostOutlookAddin.Connect" "(Default)" REG_SZ "Connect Class"
  expect_value "$classes\\TidepostOutlookAddin.Connect\\CLSID" "(Default)" REG_SZ "$clsid"
  expect_value "$classes\\TidepostOutlookAddin.Connect\\CurVer" "(Default)" REG_SZ \
    "TidepostOutlookAddin.Connect.1"
  expect_value "$classes\\CLSID\\$clsid" "(Default)" REG_SZ "Connect Class"
  expect_value "$classes\\CLSID\\$clsid\\ProgID" "(Default)" REG_SZ "TidepostOutlookAddin.Connect.1"
  expect_value "$classes\\CLSID\\$clsid\\VersionIndependentProgID" "(Default)" REG_SZ \
    "TidepostOutlookAddin.Connect"
  expect_key "$classes\\CLSID\\$clsid\\Programmable"
  expect_value "$classes\\CLSID\\$clsid\\InprocServer32" "(Default)" REG_SZ "$installed"
  expect_value "$classes\\CLSID\\$clsid\\InprocServer32" ThreadingModel REG_SZ Apartment
  expect_value "$classes\\CLSID\\$clsid\\TypeLib" "(Default)" REG_SZ "$libid"
  expect_value "$classes\\CLSID\\$clsid\\Version" "(Default)" REG_SZ "1.0"
  addin="$1\\$office\\Addins\\TidepostOutlookAddin.Connect"
  expect_value "$addin" Description REG_SZ \
    "Jump into the world of rich, interactive email. Version: 1.13.1"
  expect_value "$addin" FriendlyName REG_SZ Tidepost
  expect_value "$addin" LoadBehavior REG_DWORD 0x3
  expect_value "$addin" CommandLineSafe REG_DWORD 0x0
  # The type library and its interfaces (Wine registers a per-user library machine-wide).
  expect_value "HKCR\\TypeLib\\$libid\\1.0" "(Default)" REG_SZ \
    "BriskletOutlookAddinLib 1.0 Type Library"
  expect_value "HKCR\\TypeLib\\$libid\\1.0\\0\\win64" "(Default)" REG_SZ "$installed"
  for interface in '{0DCB784F-D38C-40C0-86BD-352DB1F76872}' \
                   '{91B0AD06-0AD7-4F9C-851B-9D4DD996BCC8}' \
                   '{03BECBD9-B45E-42A7-873B-D4D084C5AA37}'; do
    expect_value "HKCR\\Interface\\$interface\\TypeLib" "(Default)" REG_SZ "$libid"
  done
  # The base form region, machine-wide in either scope (Wine grants the rights).
  expect_value "HKLM\\$office\\FormRegions\\IPM.Note.Tidepost" Tidepost REG_SZ \
    "=TidepostOutlookAddIn.Connect"
}
expect_unregistered() {
  for root in HKLM HKCU; do
    expect_no_key "$root\\Software\\Classes\\TidepostOutlookAddin.Connect"
    expect_no_key "$root\\Software\\Classes\\TidepostOutlookAddin.Connect.1"
    expect_no_key "$root\\Software\\Classes\\CLSID\\$clsid"
    expect_no_key "$root\\$office\\Addins\\TidepostOutlookAddin.Connect"
    expect_no_key "$root\\$office\\FormRegions\\IPM.Note.Tidepost"
    expect_key "$root\\Software\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}"
    expect_key "$root\\$office\\FormRegions\\ipm.note.tidepost.lumen"
  done
  expect_no_key "HKCU\\$office\\FormRegions\\IPM.Note.Tidepost.Acme"
  expect_no_key "HKCU\\$office\\FormRegions\\IPM.Note.SMIME.Tidepost.Acme.SMIME"
  expect_no_key "HKCR\\TypeLib\\$libid"
  expect_no_key "HKCR\\Interface\\{0DCB784F-D38C-40C0-86BD-352DB1F76872}"
}

step "regsvr32, per machine"
wine regsvr32 /s "$installed" || fail "regsvr32 $installed"
expect_registered HKLM
expect_no_key "HKCU\\Software\\Classes\\TidepostOutlookAddin.Connect"
expect_no_key "HKCU\\$office\\Addins\\TidepostOutlookAddin.Connect"

step "A script host creates the add-in by its ProgID"
run_script_checks "$script"

step "A program creates the add-in by its ProgID, as Outlook does"
TIDEPOST_INSTALLED_DLL="$installed" wine "$tests" --gtest_brief=1 || fail "$(basename "$tests")"

step "regsvr32 /u, per machine"
wine regsvr32 /s /u "$installed" || fail "regsvr32 /u $installed"
expect_unregistered
expect_snapshot before after-machine

# Wine's COM does not look at the user's own classes, so the per-user installation is checked
# by its keys alone.
step "regsvr32 /n /i:USER, per user"
wine regsvr32 /s /n /i:USER "$installed" || fail "regsvr32 /n /i:USER $installed"
expect_registered HKCU
expect_no_key "HKLM\\Software\\Classes\\TidepostOutlookAddin.Connect"
expect_no_key "HKLM\\Software\\Classes\\CLSID\\$clsid"
expect_no_key "HKLM\\$office\\Addins\\TidepostOutlookAddin.Connect"

step "regsvr32 /u /n /i:user, per user"
wine regsvr32 /s /u /n /i:user "$installed" || fail "regsvr32 /u /n /i:user $installed"
expect_unregistered
expect_snapshot before after-user

step "Removing what is not there"
wine regsvr32 /s /u "$installed" || fail "a second regsvr32 /u"
expect_snapshot before after-twice

finish installation "$prefix" "$work"
