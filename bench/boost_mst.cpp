// The benchmark's anchor: the same dialogue's numbers read with a fast reader
// (std::from_chars over 1 MiB read() chunks), Boost.Graph's Prim on an
// adjacency matrix, the tree's edges and cost written to standard output.
#include <boost/graph/adjacency_matrix.hpp>
#include <boost/graph/prim_minimum_spanning_tree.hpp>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace {

struct Reader {
    std::vector<char> buf = std::vector<char>(1 << 20);
    std::size_t at = 0, end = 0;
    bool done = false;

    bool next(std::int32_t& value)
    {
        for (;;) {
            while (at < end &&
                   (buf[at] == ' ' || buf[at] == '\n' || buf[at] == '\r' || buf[at] == '\t'))
                ++at;
            // Keep a token that a chunk's end may have cut.
            if (!done && end - at < 16) {
                std::memmove(buf.data(), buf.data() + at, end - at);
                end -= at;
                at = 0;
                const ssize_t got = read(0, buf.data() + end, buf.size() - end);
                if (got <= 0)
                    done = true;
                else
                    end += static_cast<std::size_t>(got);
                continue;
            }
            if (at == end)
                return false;
            const auto [ptr, ec] = std::from_chars(buf.data() + at, buf.data() + end, value);
            if (ec != std::errc())
                return false;
            at = static_cast<std::size_t>(ptr - buf.data());
            return true;
        }
    }
};

}  // namespace

int main()
{
    using Weight = boost::property<boost::edge_weight_t, std::int32_t>;
    using Graph = boost::adjacency_matrix<boost::undirectedS, boost::no_property, Weight>;
    Reader in;
    std::int32_t n = 0;
    if (!in.next(n) || n < 1)
        return 1;
    Graph g(static_cast<std::size_t>(n));
    for (std::int32_t r = 0; r < n; ++r)
        for (std::int32_t c = 0; c < n; ++c) {
            std::int32_t w = 0;
            if (!in.next(w))
                return 1;
            if (c > r && w != 0 && w < 100)
                boost::add_edge(static_cast<std::size_t>(r), static_cast<std::size_t>(c), Weight(w),
                                g);
        }
    std::vector<std::size_t> parent(static_cast<std::size_t>(n));
    boost::prim_minimum_spanning_tree(g, parent.data());
    long long total = 0;
    const auto weight = boost::get(boost::edge_weight, g);
    for (std::size_t v = 1; v < parent.size(); ++v) {
        const auto e = boost::edge(parent[v], v, g).first;
        total += weight[e];
        std::printf("%zu %zu %d\n", parent[v] + 1, v + 1, weight[e]);
    }
    std::printf("%lld\n", total);
    return 0;
}
