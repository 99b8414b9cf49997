# The Windows build's tests: the classes that need no pseudo-terminal, no
# web panel and no Linux device, cross-built and run through Wine (the
# toolchain's CMAKE_CROSSCOMPILING_EMULATOR), each in a process of its own
# as on Linux. The panel under Wine on the simulated radio, and the
# installer, are tried from the Linux side (tools/windows/wine-e2e.sh).
include(runner/TestRunner.cmake)
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
set(TAVRIN_WINDOWS_TESTS
  access appshell channelcsv channelfile channellist channelswindow chanscan flrigmethods
  flrigserver form formlook frequencywheel gainbfometer heldbuttons lateopen modeagc portreopen
  receivepath rigcommands rigctlservice rigpanel rigserver serialtrace startup statusparser telnetcodec
  transmit transmitholder tuning)
list(TRANSFORM TAVRIN_WINDOWS_TESTS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/test_ OUTPUT_VARIABLE test_sources)
list(TRANSFORM test_sources APPEND .cpp)
# And the Windows build's own ways (datadir's Linux folders are not asked there).
list(APPEND test_sources ${CMAKE_CURRENT_SOURCE_DIR}/windows/test_winplatform.cpp)
file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
# The web client and the flooding far end (raw POSIX sockets) serve Linux suites only.
list(FILTER support EXCLUDE REGEX "/(webclient|floodingfarend)\\.cpp$")
add_library(tavrin_test_support STATIC ${support})
target_link_libraries(tavrin_test_support PUBLIC tavrin_core Qt6::Test)
target_include_directories(tavrin_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

# A Wine prefix of the build's own, made once before the first test. The
# libraries are the ones the installer ships (windows/Tavrin), the platform
# plugins Qt's own, and the fonts the offscreen platform draws with Debian's
# Liberation fonts. Wine keeps QT_ variables from Linux away from Windows
# programs: Qt's settings go into the prefix's own environment instead.
set(prefix ${CMAKE_BINARY_DIR}/wineprefix)
get_target_property(qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(qt_plugins ${qt_core}/../../plugins ABSOLUTE)
set(TAVRIN_WINE_ENVIRONMENT
  "WINEPREFIX=${prefix}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml="
  "WINEPATH=Z:${CMAKE_BINARY_DIR}/windows/Tavrin")
add_test(NAME wine.prefix COMMAND ${CMAKE_COMMAND} -E env ${TAVRIN_WINE_ENVIRONMENT}
                                  ${CMAKE_CURRENT_SOURCE_DIR}/windows/wineprefix.sh
                                  "QT_QPA_PLATFORM=offscreen" "QT_LOGGING_RULES=tavrin.*=false"
                                  "QT_PLUGIN_PATH=Z:${qt_plugins}"
                                  "QT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/liberation")
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)

# Qt's plain-text log does not reach a pipe under Wine; its TAP log does.
tavrin_test_runner(tavrin_tests
  TIMEOUT 180
  ENVIRONMENT ${TAVRIN_WINE_ENVIRONMENT}
  ARGS -o -,tap
  HEADERS <QtTest> <QtWidgets>
  SOURCES ${test_sources})
target_link_libraries(tavrin_tests PRIVATE tavrin_test_support)
# The accessibility test switches Qt's events on as Qt's own tests do.
target_link_libraries(tavrin_tests PRIVATE Qt6::GuiPrivate)
add_dependencies(tavrin_tests windows_bundle)
# Qt's test library, which the installer does not ship, beside the program.
add_custom_command(TARGET tavrin_tests POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Qt6::Test> $<TARGET_FILE_DIR:tavrin_tests>)
foreach(name ${TAVRIN_WINDOWS_TESTS} winplatform)
  set_tests_properties(test_${name} PROPERTIES FIXTURES_REQUIRED wine)
endforeach()

# The input plugin that presses the panel's buttons for the end-to-end run
# under Wine, as it does for the Linux suites.
add_subdirectory(e2e/typist)
