#pragma once

// Result codes of the database engine, as EDatabaseError::EngineCode and
// the engine interface carry them. The primary code is the low byte; the
// bytes above it may tell the case apart further (an extended code). An
// engine whose own codes differ maps its failures onto these.
namespace EngineCode {

constexpr int Ok = 0;
constexpr int Error = 1;
constexpr int Abort = 4;
constexpr int Busy = 5;
constexpr int Locked = 6;
constexpr int NoMemory = 7;
constexpr int ReadOnly = 8;
constexpr int Interrupt = 9;
constexpr int IoError = 10;
constexpr int Corrupt = 11;
constexpr int Full = 13;
constexpr int CantOpen = 14;
constexpr int Constraint = 19;
constexpr int Misuse = 21;
constexpr int NotADatabase = 26;
// A step has a row ready, or has run to its end.
constexpr int Row = 100;
constexpr int Done = 101;

// The primary code of a code, extended or not.
constexpr int Primary(int code) {
    return code & 0xff;
}

} // namespace EngineCode
