# The source folders are layers that depend one way only:
#   base <- vendor <- gpu <- card <- helperchannel <- syssensors <- module <- tools
# Includes name their folder ("base/diag.h"). A target publishes only its own folder: it adds a
# directory to its users' include path that holds nothing but a link named after that folder, so
# a target sees exactly the folders of the targets it links, never one above it.
# tools/check_include_direction.sh checks the direction of every include in the tree.
set(TORVEX_PUBLISHED_DIR ${CMAKE_BINARY_DIR}/published)

# torvex_publish(target folder [PUBLIC|PRIVATE|INTERFACE]): target, and with PUBLIC (the default)
# or INTERFACE its users, may include "folder/...".
function(torvex_publish target folder)
  set(dir ${TORVEX_PUBLISHED_DIR}/${folder})
  if(NOT EXISTS ${dir}/${folder})
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  endif()
  set(scope PUBLIC)
  if(ARGN)
    set(scope ${ARGN})
  endif()
  target_include_directories(${target} ${scope} ${dir})
endfunction()
