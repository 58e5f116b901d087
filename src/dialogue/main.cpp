// Asks for a graph's adjacency matrix, prints its minimum spanning tree grown
// from vertex 1, the tree's cost and the seconds the construction took.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <new>

#include "dialogue/console/console.hpp"
#include "dialogue/matrix_dialogue.hpp"
#include "dialogue/reader/input.hpp"
#include "isa/isa.hpp"
#include "tree/kernels.hpp"
#include "tree/matrix.hpp"
#include "tree/min_tree.hpp"

namespace {

// Every run, failed or not, ends with the key-press wait so that a console
// user gets to read the last lines. A report that could not be written is a
// failure too.
int finish(int status)
{
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::cerr << "Ошибка: не удалось записать результат на стандартный вывод.\n";
        status = 1;
    }
    std::fflush(stderr);  // where it is buffered, its messages show before the prompt
    pauseForKey(std::cout);
    return status;
}

int outOfMemory()
{
    std::cerr << "Ошибка: не хватает памяти для матрицы смежности.\n";
    return finish(1);
}

}  // namespace

int main()
{
    setupConsole();
    const Isa isa = isas().back();  // each subsystem runs the kernels of the fastest set
    const std::int32_t inf = noEdge;
    // Everything the run needs is reserved before the dialogue, so that the
    // timed construction reserves nothing. Kept in statics so that it stays
    // reachable until exit; it is never released.
    static std::int32_t** adj = reserveMatrix();
    static TreeWork* work = reserveTreeWork(treeKernels(isa));
    static Input in = stdinInput(std::cout, readerKernels(isa));
    if (adj == nullptr || work == nullptr || in.buf == nullptr)
        return outOfMemory();
    // All that is left to reserve is a few bytes for a message's words;
    // should even those not come, the run ends with the message, not an abort.
    std::set_new_handler([] { std::exit(outOfMemory()); });

    std::cout << "Введите количество вершин графа:\n";
    std::int32_t kolVer = 0;
    if (!readCount(in, kolVer, std::cerr))
        return finish(1);
    // Large pages over a large graph's rows spare most of the page faults,
    // in the input and in the construction alike.
    layRows(adj, kolVer, preferLargePages);
    std::cout << "\nВведите матрицу смежности:\n";
    if (!readMatrix(adj, kolVer, inf, in, std::cerr))
        return finish(1);
    // At a terminal, the rest of a paste still arriving goes now, and is as
    // much data after the matrix as the rest of a file.
    if (const bool follows = dataFollows(in); dropTypedAhead(in) || follows)
        std::cerr << "Предупреждение: после матрицы смежности во вводе есть ещё данные; они не "
                     "прочитаны. Проверьте количество вершин.\n";

    prepareTreeWork(*work, kolVer);  // its first touch is no part of the construction
    const std::clock_t start = std::clock();
    const Built built = minTree(inf, kolVer, adj, *work, std::cout, std::cerr);
    const std::clock_t stop = std::clock();
    if (!built.spanning)
        return finish(1);

    std::cout << "\n";
    const double seconds = static_cast<double>(stop - start) / CLOCKS_PER_SEC;
    std::printf("Время в секундах =%gs\t\n\n", seconds);
    return finish(0);
}
