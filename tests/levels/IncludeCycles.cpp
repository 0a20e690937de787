// Fails when the classes of a folder include each other in a circle: each
// header and its source are one node, and a node points to every node of
// the folder whose header one of its files includes. Prints the circle.
// Usage: include_cycles FOLDER...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Graph = std::map<std::string, std::set<std::string>>;

Graph ReadFolder(const fs::path& folder)
{
    Graph graph;
    const std::regex include(R"(^\s*#\s*include\s*\"([^\"/]+)\.h\")");
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path& path = entry.path();
        if (path.extension() != ".h" && path.extension() != ".cpp")
            continue;
        const std::string node = path.stem().string();
        graph[node];
        std::ifstream in(path);
        std::smatch match;
        for (std::string line; std::getline(in, line);)
            if (std::regex_search(line, match, include) && match[1] != node && fs::exists(folder / (match[1].str() + ".h")))
                graph[node].insert(match[1]);
    }
    return graph;
}

// Depth-first; a node met again while on the path closes a circle.
bool FindCircle(const Graph& graph, const std::string& node, std::vector<std::string>& path,
                std::set<std::string>& done)
{
    for (size_t i = 0; i < path.size(); ++i)
        if (path[i] == node) {
            path.erase(path.begin(), path.begin() + static_cast<long>(i));
            path.push_back(node);
            return true;
        }
    if (done.count(node))
        return false;
    path.push_back(node);
    for (const std::string& next : graph.at(node))
        if (FindCircle(graph, next, path, done))
            return true;
    path.pop_back();
    done.insert(node);
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const Graph graph = ReadFolder(argv[i]);
        std::set<std::string> done;
        for (const auto& [node, next] : graph) {
            std::vector<std::string> path;
            if (!FindCircle(graph, node, path, done))
                continue;
            std::printf("%s: a circle of includes:", argv[i]);
            for (const std::string& name : path)
                std::printf(" %s", name.c_str());
            std::printf("\n");
            status = 1;
            break;
        }
    }
    return status;
}
