# Runs at install time (included by the install script): writes the desktop entry
# and the D-Bus service file with the full paths under the prefix being installed
# to, then installs them like any other file (DESTDIR and the manifest included).
# Set by the caller: TESSRA_DIST_SOURCE, TESSRA_DIST_BINARY, TESSRA_APP_ID,
# TESSRA_BINDIR, TESSRA_DATADIR, TESSRA_LIFE_DIR (the last three relative to the
# prefix or absolute).

function(tessra_installed_path relative out)
  if(IS_ABSOLUTE "${relative}")
    set(${out} "${relative}" PARENT_SCOPE)
  else()
    get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
    set(${out} "${prefix}/${relative}" PARENT_SCOPE)
  endif()
endfunction()

# A path as the D-Bus daemon reads an Exec line: in single quotes when it holds
# anything but plain path characters.
function(tessra_service_quoted path out)
  if(path MATCHES "^[A-Za-z0-9/._+,:@=-]+$")
    set(${out} "${path}" PARENT_SCOPE)
  else()
    string(REPLACE "'" "'\\''" path "${path}")
    set(${out} "'${path}'" PARENT_SCOPE)
  endif()
endfunction()

# A path as a desktop entry's Exec key reads it: in double quotes when it holds a
# reserved character, with ", `, $ and \ escaped inside; % doubled; and the
# backslashes doubled once more for the key's string escapes.
function(tessra_desktop_quoted path out)
  string(REPLACE "%" "%%" path "${path}")
  if(NOT path MATCHES "^[A-Za-z0-9/._+,:@=%-]+$")
    string(REPLACE "\\" "\\\\" path "${path}")
    string(REPLACE "\"" "\\\"" path "${path}")
    string(REPLACE "`" "\\`" path "${path}")
    string(REPLACE "$" "\\$" path "${path}")
    set(path "\"${path}\"")
  endif()
  string(REPLACE "\\" "\\\\" path "${path}")
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

tessra_installed_path("${TESSRA_BINDIR}" bindir)
tessra_installed_path("${TESSRA_DATADIR}" datadir)
tessra_installed_path("${TESSRA_LIFE_DIR}" life)
set(program "${bindir}/tessra")
tessra_service_quoted("${program}" TESSRA_SERVICE_EXEC)
tessra_desktop_quoted("${program}" TESSRA_DESKTOP_EXEC)
# TryExec and Path are plain strings: only the backslash is escaped.
string(REPLACE "\\" "\\\\" TESSRA_PROGRAM "${program}")
string(REPLACE "\\" "\\\\" TESSRA_LIFE_FOLDER "${life}")

configure_file("${TESSRA_DIST_SOURCE}/${TESSRA_APP_ID}.desktop.in"
  "${TESSRA_DIST_BINARY}/${TESSRA_APP_ID}.desktop" @ONLY)
configure_file("${TESSRA_DIST_SOURCE}/Tessra.FrontEnd.service.in"
  "${TESSRA_DIST_BINARY}/Tessra.FrontEnd.service" @ONLY)
file(INSTALL "${TESSRA_DIST_BINARY}/${TESSRA_APP_ID}.desktop"
  DESTINATION "${datadir}/applications")
file(INSTALL "${TESSRA_DIST_BINARY}/Tessra.FrontEnd.service"
  DESTINATION "${datadir}/dbus-1/services")
