// The report's texts, written out independently of the program's code.
#pragma once

#include <string>

inline const std::string header = "\nМинимальное охватывающее дерево:";

inline std::string edge(long long from, long long to, long long w)
{
    return "\nИз " + std::to_string(from) + " вершины в " + std::to_string(to) +
           " вершину, ребро = " + std::to_string(w);
}

inline std::string cost(long long c)
{
    return "\n\nМинимальная стоимость: " + std::to_string(c) + "\n";
}

inline std::string unreached(const std::string& list, bool one)
{
    return std::string("Ошибка: из вершины 1 нельзя дойти до ") + (one ? "вершины " : "вершин ") +
           list + ", поэтому охватывающего дерева нет.\n";
}
