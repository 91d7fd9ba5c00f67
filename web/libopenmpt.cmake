# libopenmpt for the browser: Debian's source of the release the native build links,
# fetched once into the build tree (web/fetch-libopenmpt) and compiled here as one
# static library. Only the module player itself: no zlib, mpg123 or Vorbis, which an
# XM module does not need, and of the format loaders only XM's and the few whose
# helpers it uses (the fetched copy's format table lists XM alone); its exceptions
# stay on, as the library reports through them.
set(openmpt_dir ${CMAKE_BINARY_DIR}/libopenmpt-src)
if(NOT EXISTS ${openmpt_dir}/libopenmpt/libopenmpt.h)
  execute_process(COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/fetch-libopenmpt ${openmpt_dir}
                  RESULT_VARIABLE fetched)
  if(NOT fetched EQUAL 0)
    message(FATAL_ERROR "libopenmpt's source could not be fetched (see above)")
  endif()
endif()

file(GLOB openmpt_sources
  ${openmpt_dir}/common/*.cpp
  ${openmpt_dir}/soundlib/*.cpp
  ${openmpt_dir}/soundlib/plugins/*.cpp
  ${openmpt_dir}/soundlib/plugins/dmo/*.cpp
  ${openmpt_dir}/sounddsp/*.cpp)
list(FILTER openmpt_sources EXCLUDE REGEX "/[Ll]oad_[^/]*\\.cpp$")
foreach(loader xm it mod ams dmf)
  list(APPEND openmpt_sources ${openmpt_dir}/soundlib/Load_${loader}.cpp)
endforeach()
list(APPEND openmpt_sources
  ${openmpt_dir}/libopenmpt/libopenmpt_c.cpp
  ${openmpt_dir}/libopenmpt/libopenmpt_cxx.cpp
  ${openmpt_dir}/libopenmpt/libopenmpt_impl.cpp
  ${openmpt_dir}/libopenmpt/libopenmpt_ext_impl.cpp)

add_library(libopenmpt_web STATIC ${openmpt_sources})
set_target_properties(libopenmpt_web PROPERTIES CXX_STANDARD 17)
target_compile_definitions(libopenmpt_web PRIVATE LIBOPENMPT_BUILD)
target_include_directories(libopenmpt_web PRIVATE
  ${openmpt_dir} ${openmpt_dir}/src ${openmpt_dir}/common ${openmpt_dir}/build/svn_version)
# Its users include <libopenmpt/libopenmpt.h>, as they do the installed library.
target_include_directories(libopenmpt_web SYSTEM PUBLIC ${openmpt_dir})
target_compile_options(libopenmpt_web PRIVATE -O2 -fexceptions -w)
