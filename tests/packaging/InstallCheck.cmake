# cmake -P InstallCheck.cmake with BUILD_DIR, CONFIG, ROOT, SKINS_SOURCE,
# PROGRAM, APP_ID, VERSION, BINDIR, DATADIR (see CMakeLists.txt).

function(fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "${text}")
endfunction()

function(expect_file path)
  if(NOT EXISTS "${path}")
    fail("not installed: ${path}")
  endif()
endfunction()

# Runs the installed program with arguments; fails on a non-zero exit.
function(run_program out_var prefix)
  execute_process(COMMAND "${prefix}/${BINDIR}/${PROGRAM}" ${ARGN}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 60)
  if(NOT result EQUAL 0)
    fail("${PROGRAM} ${ARGN} exited with ${result}:\n${output}\n${errors}")
  endif()
  set(${out_var} "${output}" PARENT_SCOPE)
endfunction()

# The installed copy under prefix finds every shipped skin in its own data
# folder and nowhere else, and has its sounds.
function(check_data prefix)
  run_program(output "${prefix}" --show-data)
  file(GLOB shipped RELATIVE "${SKINS_SOURCE}" "${SKINS_SOURCE}/*.asz")
  if(NOT shipped)
    fail("no skins in ${SKINS_SOURCE}")
  endif()
  foreach(skin ${shipped})
    string(FIND "${output}" "skin: ${prefix}/${DATADIR}/${PROGRAM}/skins/${skin}\n" at)
    if(at EQUAL -1)
      fail("${prefix}: skin ${skin} not found by the program:\n${output}")
    endif()
  endforeach()
  string(REGEX MATCHALL "skin: [^\n]*" found "${output}")
  list(LENGTH found found_count)
  list(LENGTH shipped shipped_count)
  if(NOT found_count EQUAL shipped_count)
    fail("${prefix}: ${found_count} skins found, ${shipped_count} shipped:\n${output}")
  endif()
  foreach(sound CLICK LIST)
    string(FIND "${output}" "sound: :/sounds/${sound} built in" at)
    if(at EQUAL -1)
      fail("${prefix}: sound ${sound} missing:\n${output}")
    endif()
  endforeach()
endfunction()

# Width and height of a PNG file from its IHDR chunk; fails for no PNG.
function(png_size path out_var)
  file(READ "${path}" head LIMIT 24 HEX)
  string(SUBSTRING "${head}" 0 16 signature)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    fail("not a PNG file: ${path}")
  endif()
  string(SUBSTRING "${head}" 32 8 width_hex)
  string(SUBSTRING "${head}" 40 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  set(${out_var} "${width}x${height}" PARENT_SCOPE)
endfunction()

# Value of key in a desktop entry's text.
function(desktop_value text key out_var)
  if(NOT text MATCHES "\n${key}=([^\n]*)")
    fail("desktop entry without ${key}")
  endif()
  set(${out_var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

set(prefix "${ROOT}/usr")
file(REMOVE_RECURSE "${ROOT}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --config "${CONFIG}"
    --prefix "${prefix}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  fail("cmake --install failed:\n${output}\n${errors}")
endif()

# --version
run_program(version_text "${prefix}" --version)
if(NOT version_text STREQUAL "${PROGRAM} ${VERSION}\n")
  fail("--version printed '${version_text}', expected '${PROGRAM} ${VERSION}'")
endif()

# Skins and sounds, in place and after moving the whole tree.
check_data("${prefix}")
set(moved "${ROOT}/moved")
file(COPY "${prefix}" DESTINATION "${moved}")
check_data("${moved}/usr")

# The desktop entry starts the installed program and shows an installed icon.
set(desktop "${prefix}/${DATADIR}/applications/${APP_ID}.desktop")
expect_file("${desktop}")
file(READ "${desktop}" desktop_text)
desktop_value("${desktop_text}" Exec exec)
desktop_value("${desktop_text}" Icon icon)
desktop_value("${desktop_text}" Type type)
desktop_value("${desktop_text}" "Name\\[zh_CN\\]" chinese_name)
if(NOT type STREQUAL "Application" OR NOT exec STREQUAL "${PROGRAM}" OR chinese_name STREQUAL "")
  fail("desktop entry: Type=${type} Exec=${exec} Name[zh_CN]=${chinese_name}")
endif()
expect_file("${prefix}/${BINDIR}/${exec}")
set(icons "${prefix}/${DATADIR}/icons/hicolor")
expect_file("${icons}/scalable/apps/${icon}.svg")
file(READ "${icons}/scalable/apps/${icon}.svg" svg_text)
if(NOT svg_text MATCHES "<svg [^>]*viewBox=\"0 0 256 256\"")
  fail("the scalable icon is no SVG drawing")
endif()
foreach(size 16 22 24 32 48 64 128 256)
  set(png "${icons}/${size}x${size}/apps/${icon}.png")
  expect_file("${png}")
  png_size("${png}" actual)
  if(NOT actual STREQUAL "${size}x${size}")
    fail("${png} is ${actual}")
  endif()
endforeach()

# AppStream metadata names this entry and this program.
set(metainfo "${prefix}/${DATADIR}/metainfo/${APP_ID}.metainfo.xml")
expect_file("${metainfo}")
file(READ "${metainfo}" metainfo_text)
foreach(expected
    "<id>${APP_ID}</id>"
    "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
    "<binary>${PROGRAM}</binary>"
    "<release version=\"${VERSION}\"")
  string(FIND "${metainfo_text}" "${expected}" at)
  if(at EQUAL -1)
    fail("metainfo without ${expected}")
  endif()
endforeach()
# The command-line tool is installed beside the program and runs without a
# display: its help lists the exit codes.
set(cli "${prefix}/${BINDIR}/k80x-cli")
expect_file("${cli}")
execute_process(COMMAND "${cli}" --help --lang en
  RESULT_VARIABLE cli_result OUTPUT_VARIABLE cli_output ERROR_VARIABLE cli_errors TIMEOUT 60)
if(NOT cli_result EQUAL 0)
  fail("k80x-cli --help exited with ${cli_result}:\n${cli_output}\n${cli_errors}")
endif()
string(FIND "${cli_output}" "5  verification failed" at)
if(at EQUAL -1)
  fail("k80x-cli --help without the exit codes:\n${cli_output}")
endif()
message(STATUS "installed copy in ${prefix} checked")
