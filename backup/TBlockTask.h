#pragma once

#include <cstdint>
#include <vector>

// One step of writing or reading an archive, kept in the archive's order by
// TBlockPipeline. A step with work (compressing or decompressing a block)
// runs on a worker thread; one without only keeps its place in the order.
struct TBlockTask {
    using Work = void (*)(TBlockTask&);

    Work work = nullptr;
    std::vector<char> input;
    std::vector<char> output;
    int status = 0; // zlib's result of the work

    // The owner's bookkeeping: the file the step belongs to, the block's
    // number in the archive, the number of bytes the block must hold and the
    // archive position after it.
    int file = -1;
    int block = 0;
    std::int64_t expected = 0;
    std::int64_t position = 0;

    // Set by the pipeline, under its lock, once the work has run.
    bool done = false;
};
