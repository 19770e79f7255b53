# Debian's libasio-dev ships the standalone headers without a CMake package.
find_path(Asio_INCLUDE_DIR NAMES asio.hpp)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Asio REQUIRED_VARS Asio_INCLUDE_DIR)
if(Asio_FOUND AND NOT TARGET Asio::Asio)
  add_library(Asio::Asio INTERFACE IMPORTED)
  set_target_properties(Asio::Asio PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${Asio_INCLUDE_DIR}"
    # Asio picks aligned_alloc or operator new depending on whether a standard header
    # came before its own; one setting for every file keeps allocation and release
    # matched (AddressSanitizer reports the mismatch otherwise).
    INTERFACE_COMPILE_DEFINITIONS "ASIO_STANDALONE;ASIO_NO_DEPRECATED;ASIO_DISABLE_STD_ALIGNED_ALLOC")
  find_package(Threads REQUIRED)
  target_link_libraries(Asio::Asio INTERFACE Threads::Threads)
endif()
