# The libraries of the Windows build under the names the Linux build gets from
# find_package and pkg-config, so that the same build files serve both.
#
# The header-only ones come from the machine's Debian packages (fmt and spdlog in
# their header-only modes). Each is reached through a folder of its own links, never
# /usr/include itself, whose C library headers would shadow mingw-w64's. SQLite,
# utf8proc, the date library's time-zone code and MariaDB Connector/C are compiled from
# Debian's source packages, which scripts/windows-sources.sh unpacks into
# BELLWRIGHT_WINDOWS_SOURCES.

set(BELLWRIGHT_WINDOWS_SOURCES "${PROJECT_SOURCE_DIR}/build/windows-sources"
  CACHE PATH "Where scripts/windows-sources.sh unpacked the Windows build's sources")
if(NOT EXISTS "${BELLWRIGHT_WINDOWS_SOURCES}/.complete"
    OR NOT EXISTS "${BELLWRIGHT_WINDOWS_SOURCES}/libmariadb")
  message(FATAL_ERROR "the Windows build compiles SQLite, utf8proc, the date library and "
    "MariaDB Connector/C from Debian's source packages: run scripts/windows-sources.sh first")
endif()

set(BELLWRIGHT_HEADER_LINKS "${CMAKE_BINARY_DIR}/debian-headers")
file(MAKE_DIRECTORY "${BELLWRIGHT_HEADER_LINKS}")
foreach(entry nlohmann fmt spdlog utf8cpp asio asio.hpp CLI valijson date)
  if(NOT EXISTS "/usr/include/${entry}")
    message(FATAL_ERROR "/usr/include/${entry} is missing: run scripts/install-deps.sh")
  endif()
  file(CREATE_LINK "/usr/include/${entry}" "${BELLWRIGHT_HEADER_LINKS}/${entry}" SYMBOLIC)
endforeach()

function(bellwright_header_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "INCLUDE;DEFINITIONS;LIBRARIES")
  add_library(${name} INTERFACE IMPORTED GLOBAL)
  set(include_dirs)
  foreach(folder ${arg_INCLUDE})
    list(APPEND include_dirs "${BELLWRIGHT_HEADER_LINKS}/${folder}")
  endforeach()
  set_target_properties(${name} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${include_dirs}"
    INTERFACE_COMPILE_DEFINITIONS "${arg_DEFINITIONS}"
    INTERFACE_LINK_LIBRARIES "${arg_LIBRARIES}")
endfunction()

find_package(Threads REQUIRED)
bellwright_header_library(nlohmann_json::nlohmann_json INCLUDE .)
bellwright_header_library(fmt::fmt INCLUDE . DEFINITIONS FMT_HEADER_ONLY)
bellwright_header_library(spdlog::spdlog INCLUDE .
  DEFINITIONS SPDLOG_HEADER_ONLY SPDLOG_FMT_EXTERNAL LIBRARIES fmt::fmt)
bellwright_header_library(utf8cpp INCLUDE utf8cpp)
bellwright_header_library(CLI11::CLI11 INCLUDE .)
bellwright_header_library(valijson INCLUDE .)
# Asio on Windows sockets; Windows 8's API level, as the storage's resolver needs.
bellwright_header_library(Asio::Asio INCLUDE .
  DEFINITIONS ASIO_STANDALONE ASIO_NO_DEPRECATED ASIO_DISABLE_STD_ALIGNED_ALLOC _WIN32_WINNT=0x0602
  LIBRARIES Threads::Threads ws2_32 mswsock)

# Third-party code built here: no project warnings, nothing exported.
function(bellwright_source_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LANGUAGE" "SOURCES;INCLUDE;DEFINITIONS;PUBLIC_DEFINITIONS")
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} SYSTEM PUBLIC ${arg_INCLUDE})
  target_compile_definitions(${name} PRIVATE ${arg_DEFINITIONS} PUBLIC ${arg_PUBLIC_DEFINITIONS})
  target_compile_options(${name} PRIVATE -w)
endfunction()

enable_language(C)
set(sources "${BELLWRIGHT_WINDOWS_SOURCES}")
# SQLite in the form the project's own build makes from the source package: the
# library serialises its own connections, and the storage keeps one per thread.
bellwright_source_library(bellwright_sqlite
  SOURCES "${sources}/sqlite-amalgamation/sqlite3.c"
  INCLUDE "${sources}/sqlite-amalgamation"
  DEFINITIONS SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
add_library(SQLite::SQLite3 ALIAS bellwright_sqlite)

bellwright_source_library(bellwright_utf8proc
  SOURCES "${sources}/utf8proc/utf8proc.c"
  INCLUDE "${sources}/utf8proc"
  PUBLIC_DEFINITIONS UTF8PROC_STATIC)
add_library(PkgConfig::Utf8proc ALIAS bellwright_utf8proc)

# The date library's zones over its own text database (there is no system one on
# Windows), read from the folder the plug-in names at start-up; never downloaded.
bellwright_source_library(bellwright_date_tz
  SOURCES "${sources}/date/src/tz.cpp"
  INCLUDE "${sources}/date/include"
  PUBLIC_DEFINITIONS USE_OS_TZDB=0 HAS_REMOTE_API=0 AUTO_DOWNLOAD=0)
target_link_libraries(bellwright_date_tz PRIVATE ole32 shell32)
add_library(date::date-tz ALIAS bellwright_date_tz)

# The time-zone database beside the programs and the plug-in: tzdata's compact
# rules (the machine's tzdata package) in the source form the date library parses.
# The library reads a fixed list of IANA's file names; "africa" is the first of them,
# and holds every rule here. windowsZones.xml maps Windows' zone names, which only
# the current zone of the machine needs: none are mapped.
set(BELLWRIGHT_TZDATA_SOURCE /usr/share/zoneinfo/tzdata.zi)
set(BELLWRIGHT_TZDATA_DIR "${CMAKE_BINARY_DIR}/bin/tzdata")
add_custom_command(
  OUTPUT "${BELLWRIGHT_TZDATA_DIR}/africa" "${BELLWRIGHT_TZDATA_DIR}/version"
    "${BELLWRIGHT_TZDATA_DIR}/windowsZones.xml"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${BELLWRIGHT_TZDATA_DIR}"
  COMMAND awk -f "${PROJECT_SOURCE_DIR}/cmake/windows/expand_tzdata.awk"
    -v "version_file=${BELLWRIGHT_TZDATA_DIR}/version"
    "${BELLWRIGHT_TZDATA_SOURCE}" > "${BELLWRIGHT_TZDATA_DIR}/africa"
  COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/cmake/windows/windowsZones.xml"
    "${BELLWRIGHT_TZDATA_DIR}/windowsZones.xml"
  DEPENDS "${BELLWRIGHT_TZDATA_SOURCE}" "${PROJECT_SOURCE_DIR}/cmake/windows/expand_tzdata.awk"
    "${PROJECT_SOURCE_DIR}/cmake/windows/windowsZones.xml"
  COMMENT "Expanding tzdata's rules for the date library"
  VERBATIM)
add_custom_target(bellwright_tzdata ALL DEPENDS "${BELLWRIGHT_TZDATA_DIR}/africa")

# MariaDB Connector/C, with its own build files, as the MariaDB server builds it: the
# static library, TLS through Windows' own Schannel, and the authentication plug-ins a
# MariaDB or MySQL server asks for built in (a plug-in DLL beside the game server would
# have to be found and loaded at the first connect). Nothing of it is installed.
foreach(setting
    WITH_SSL=SCHANNEL WITH_UNIT_TESTS=OFF WITH_CURL=OFF WITH_DYNCOL=OFF WITH_EXTERNAL_ZLIB=OFF
    CLIENT_PLUGIN_CACHING_SHA2_PASSWORD=STATIC CLIENT_PLUGIN_CLIENT_ED25519=STATIC
    CLIENT_PLUGIN_SHA256_PASSWORD=STATIC CLIENT_PLUGIN_PVIO_SHMEM=STATIC
    CLIENT_PLUGIN_DIALOG=OFF CLIENT_PLUGIN_MYSQL_CLEAR_PASSWORD=OFF
    CLIENT_PLUGIN_AUTH_GSSAPI_CLIENT=OFF CLIENT_PLUGIN_MYSQL_OLD_PASSWORD=OFF)
  string(REPLACE "=" ";" pair ${setting})
  list(GET pair 0 name)
  list(GET pair 1 value)
  set(${name} ${value} CACHE STRING "Connector/C, as the Windows build makes it" FORCE)
endforeach()
# Third-party code: no warnings (its C flags reach only its own folder).
set(flags_before_connector "${CMAKE_C_FLAGS}")
string(APPEND CMAKE_C_FLAGS " -w")
add_subdirectory("${sources}/libmariadb" "${CMAKE_BINARY_DIR}/libmariadb" EXCLUDE_FROM_ALL)
set(CMAKE_C_FLAGS "${flags_before_connector}")
add_library(bellwright_mariadb_client INTERFACE)
target_include_directories(bellwright_mariadb_client SYSTEM INTERFACE
  "${sources}/libmariadb/include" "${CMAKE_BINARY_DIR}/libmariadb/include")
target_link_libraries(bellwright_mariadb_client INTERFACE mariadbclient)
add_library(PkgConfig::MariaDbClient ALIAS bellwright_mariadb_client)
