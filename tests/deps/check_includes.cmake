# Fails when a file of a core folder includes a folder that src/DEPS does not allow it.
#   cmake -DSOURCE_DIR=<repository> -P check_includes.cmake
# A file belongs to the longest listed folder holding it (character/startup before character); an
# include names the longest listed folder it starts with, or its first path part otherwise (platform,
# sim, cli, win), which must then be listed.
cmake_minimum_required(VERSION 3.25)
include(${SOURCE_DIR}/cmake/core_deps.cmake)
set(src ${SOURCE_DIR}/src)
dezaror_read_core_deps(${src}/DEPS)

# Longest first, so that a nested folder wins over the folder around it.
set(by_length ${core_folders})
list(SORT by_length COMPARE STRING ORDER DESCENDING)

function(folder_of path out)
  foreach(folder IN LISTS by_length)
    if(path MATCHES "^${folder}/")
      set(${out} ${folder} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  string(REGEX REPLACE "/.*" "" first "${path}")
  set(${out} ${first} PARENT_SCOPE)
endfunction()

set(faults "")
set(checked 0)
foreach(folder IN LISTS core_folders)
  string(REPLACE "/" "_" key ${folder})
  file(GLOB_RECURSE files ${src}/${folder}/*.cpp ${src}/${folder}/*.hpp)
  foreach(file IN LISTS files)
    # A folder inside a listed one is a library of its own only when it is listed too; otherwise its files
    # would be built into none.
    file(RELATIVE_PATH relative ${src} ${file})
    get_filename_component(dir ${relative} DIRECTORY)
    if(NOT dir STREQUAL folder)
      if(NOT dir IN_LIST core_folders)
        list(APPEND faults "src/${relative} is in src/${dir}, which src/DEPS does not list")
      endif()
      continue()
    endif()
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" included "${line}")
      folder_of("${included}" used)
      if(used STREQUAL folder OR used IN_LIST core_deps_${key})
        continue()
      endif()
      file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
      list(APPEND faults "${shown} includes \"${included}\": ${folder} may not use ${used}")
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes that src/DEPS does not allow:\n  ${text}\n"
                      "Remove the include, or add the edge (or the folder) to src/DEPS if the design takes it.")
endif()
message(STATUS "${checked} files of the core include only what src/DEPS allows")
