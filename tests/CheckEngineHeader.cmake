# Fails when code outside the SQLite implementation of the engine interface
# (db/SqliteConnection, db/SqliteStatement) reaches SQLite itself: includes
# its header or names its types. Tests and benchmarks may include it where
# a comment starting "Reaches SQLite itself:" says why.
#   cmake -DSOURCE_DIR=<repository> -P CheckEngineHeader.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(implementation db/SqliteConnection.h db/SqliteConnection.cpp db/SqliteStatement.h
  db/SqliteStatement.cpp)
# Every folder of the repository but build trees and hidden ones.
file(GLOB folders LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(sources "")
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY ${SOURCE_DIR}/${folder} AND NOT folder MATCHES "^(build|\\.)")
    file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h
      ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.c)
    list(APPEND sources ${found})
  endif()
endforeach()

set(faults "")
foreach(source IN LISTS sources)
  if(source IN_LIST implementation)
    continue()
  endif()
  file(READ ${SOURCE_DIR}/${source} text)
  string(REGEX MATCH "#[ \t]*include[ \t]*[<\"]sqlite3\\.h[>\"]" included "${text}")
  if(source MATCHES "^(tests|bench)/")
    if(included AND NOT text MATCHES "Reaches SQLite itself:")
      list(APPEND faults "${source}: includes sqlite3.h without saying why")
    endif()
  elseif(included)
    list(APPEND faults "${source}: includes sqlite3.h")
  else()
    string(REGEX MATCH "sqlite3(_[a-z0-9_]+)?[ \t]*\\*|struct[ \t]+sqlite3|sqlite3_[a-z0-9_]+[ \t]*\\("
      named "${text}")
    if(named)
      list(APPEND faults "${source}: names the engine's own C interface (${named})")
    endif()
  endif()
endforeach()

if(faults)
  list(JOIN faults "\n  " listed)
  message(FATAL_ERROR "SQLite is reached outside its implementation:\n  ${listed}")
endif()
