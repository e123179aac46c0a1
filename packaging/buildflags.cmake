# Debian's hardening, as a package of this release is built: the flags that
# dpkg-buildflags gives with every hardening feature on, for C, C++ and the
# link (CPPFLAGS joined to both, as debhelper does). Included from the top
# folder before any target, so that every object of the program carries them
# (control-flow protection holds only where each one does).
find_program(XELT_DPKG_BUILDFLAGS dpkg-buildflags)
set(_default OFF)
if(XELT_DPKG_BUILDFLAGS AND NOT CMAKE_CROSSCOMPILING AND NOT XELT_SANITIZE)
  set(_default ON)
endif()
option(XELT_DEBIAN_BUILDFLAGS "Build with the hardening flags of this Debian release" ${_default})
if(NOT XELT_DEBIAN_BUILDFLAGS)
  return()
endif()
if(NOT XELT_DPKG_BUILDFLAGS)
  message(FATAL_ERROR "XELT_DEBIAN_BUILDFLAGS needs dpkg-buildflags (dpkg-dev)")
endif()

enable_language(C)
function(xelt_dpkg_buildflags out what)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${XELT_DPKG_BUILDFLAGS} ${what}
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  set(${out} "${value}" PARENT_SCOPE)
endfunction()
xelt_dpkg_buildflags(_cflags "--get;CFLAGS")
xelt_dpkg_buildflags(_cxxflags "--get;CXXFLAGS")
xelt_dpkg_buildflags(_cppflags "--get;CPPFLAGS")
xelt_dpkg_buildflags(_ldflags "--get;LDFLAGS")
xelt_dpkg_buildflags(_features "--query-features;hardening")
# The source folder's own path maps stay ours (the top CMakeLists.txt): test
# failures name real files, and the package's bytes depend on no folder.
foreach(_var _cflags _cxxflags)
  string(REGEX REPLACE "-f(file|debug|macro)-prefix-map=[^ ]*" "" ${_var} "${${_var}}")
endforeach()

# dpkg before 1.22 (Debian 12) knows neither stack clash nor control-flow
# protection, which its GCC has: added as the later releases add them.
include(CheckCXXCompilerFlag)
foreach(_pair "stackclash;-fstack-clash-protection" "branch;-fcf-protection")
  list(GET _pair 0 _feature)
  list(GET _pair 1 _flag)
  if(NOT _features MATCHES "Feature: ${_feature}\n")
    string(MAKE_C_IDENTIFIER "XELT_HAS${_flag}" _var)
    check_cxx_compiler_flag(${_flag} ${_var})
    if(${_var})
      string(APPEND _cflags " ${_flag}")
      string(APPEND _cxxflags " ${_flag}")
    endif()
  endif()
endforeach()

string(APPEND CMAKE_C_FLAGS " ${_cflags} ${_cppflags}")
string(APPEND CMAKE_CXX_FLAGS " ${_cxxflags} ${_cppflags}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${_ldflags}")
string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${_ldflags}")
message(STATUS "Debian build flags: ${_cxxflags} ${_cppflags} | ${_ldflags}")
