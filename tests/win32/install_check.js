// Run by a script host (cscript) once the add-in is registered: creates it by its ProgIDs, as
// any automation client can, and calls it late bound. Prints "All script checks passed" and
// exits with 0 when every check holds (a script host may end an uncaught error with 0).
var failures = 0;
function check(condition, what) {
  if (!condition) {
    WScript.Echo("FAIL: " + what);
    failures++;
  }
}
function errorOf(call) {
  try {
    call();
  } catch (e) {
    return e.number >>> 0;
  }
  return 0;
}

function checkAll() {
  var connect = new ActiveXObject("TidepostOutlookAddin.Connect");
  check(typeof connect == "object", "the ProgID makes an object");
  check(typeof new ActiveXObject("TidepostOutlookAddin.Connect.1") == "object",
        "the versioned ProgID makes an object");

  var manifest = connect.GetFormRegionManifest("Tidepost.Acme", 1033);
  check(manifest.indexOf("<FormRegion xmlns=\"http://schemas.microsoft.com/office/outlook/12/" +
                         "formregion.xsd\"><name>Tidepost.Acme</name>") > 0,
        "the manifest names the form region: " + manifest);
  check(manifest.indexOf("<page>addin</page></icons></FormRegion>") > 0,
        "the manifest asks the add-in for the icons: " + manifest);

  check(errorOf(function() { connect.OnAddInsUpdate(null); }) == 0, "OnAddInsUpdate succeeds");
  check(errorOf(function() { connect.OnStartupComplete(null); }) == 0x80004001,
        "OnStartupComplete is not implemented");
  check(errorOf(function() {
          connect.GetFormRegionStorage("Tidepost.Acme", null, 1033, 0, 0);
        }) == 0x80004001,
        "GetFormRegionStorage is not implemented");
  check(errorOf(function() { connect.NoSuchMethod(); }) != 0, "an unknown method fails");
  check(errorOf(function() { new ActiveXObject("TidepostOutlookAddin.Nothing"); }) != 0,
        "an unknown ProgID fails");
}

try {
  checkAll();
} catch (e) {
  check(false, "error " + (e.number >>> 0).toString(16) + ": " + e.message);
}
if (failures == 0)
  WScript.Echo("All script checks passed");
WScript.Quit(failures == 0 ? 0 : 1);
