# Fails when code outside the SQLite implementation of the engine interface
# (db/SqliteConnection, db/SqliteStatement) reaches SQLite itself: includes
# its header or names its types. Tests and benchmarks may include it where
# a comment starting "Reaches SQLite itself:" says why. The same holds for
# the PostgreSQL implementation (db/PgConnection, db/PgStatement,
# db/PgSession) and libpq-fe.h, with "Reaches PostgreSQL itself:".
#   cmake -DSOURCE_DIR=<repository> -P CheckEngineHeader.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(implementation db/SqliteConnection.h db/SqliteConnection.cpp db/SqliteStatement.h
  db/SqliteStatement.cpp)
set(server_implementation db/PgConnection.h db/PgConnection.cpp db/PgStatement.h
  db/PgStatement.cpp db/PgSession.h db/PgSession.cpp)
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
  file(READ ${SOURCE_DIR}/${source} text)
  if(NOT source IN_LIST server_implementation)
    string(REGEX MATCH "#[ \t]*include[ \t]*[<\"]libpq-fe\\.h[>\"]" server_included "${text}")
    string(REGEX MATCH "PQ[a-z][A-Za-z]+[ \t]*\\(|PG(conn|result)[ \t]*\\*" server_named "${text}")
    if(server_included AND NOT (source MATCHES "^(tests|bench)/" AND
                                text MATCHES "Reaches PostgreSQL itself:"))
      list(APPEND faults "${source}: includes libpq-fe.h")
    elseif(server_named AND NOT source MATCHES "^(tests|bench)/")
      list(APPEND faults "${source}: names the server's own C interface (${server_named})")
    endif()
  endif()
  if(source IN_LIST implementation)
    continue()
  endif()
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
  message(FATAL_ERROR "An engine is reached outside its implementation:\n  ${listed}")
endif()
