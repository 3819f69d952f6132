# Which headers are installed, and so what a host may include.

# zt_public_headers(<out-var> <umbrella> <root>)
# The umbrella header and the kit headers it names with quoted includes, as paths relative to
# <root> (the umbrella by its own name). Only what the umbrella names is public: a public
# header that includes any other kit header fails the public-headers test instead of
# quietly taking it into the install.
function(zt_public_headers out umbrella root)
  get_filename_component(umbrellaName ${umbrella} NAME)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${umbrella})
  set(named)
  file(STRINGS ${umbrella} lines REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
  foreach(line ${lines})
    string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" header "${line}")
    if(NOT EXISTS ${root}/${header})
      message(FATAL_ERROR "${umbrella} names ${header}, which is not under ${root}")
    endif()
    list(APPEND named ${header})
  endforeach()
  list(SORT named)
  list(REMOVE_DUPLICATES named)
  set(${out} ${umbrellaName} ${named} PARENT_SCOPE)
endfunction()

# zt_platform_public_headers(<out-var> <framework-folder>)
# The headers of one platform framework, relative to its folder, less those it keeps to
# itself: a header with a comment line ending in "Private to the platform." or
# "Internal to <Framework>." is neither installed nor seen by hosts.
function(zt_platform_public_headers out folder)
  get_filename_component(name ${folder} NAME)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${folder} ${folder}/*.hpp)
  set(public)
  foreach(header ${headers})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${folder}/${header})
    file(STRINGS ${folder}/${header} marks
      REGEX "^[ \t]*//.*(Private to the platform|Internal to ${name})\\.[ \t]*$")
    if(NOT marks)
      list(APPEND public ${header})
    endif()
  endforeach()
  list(SORT public)
  set(${out} ${public} PARENT_SCOPE)
endfunction()
