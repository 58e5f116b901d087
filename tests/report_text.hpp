// The program's texts, written out independently of its code.
#pragma once

#include <string>

inline const std::string askCount = "Введите количество вершин графа:\n";
inline const std::string askMatrix = "\nВведите матрицу смежности:\n";

inline std::string badCount(const std::string& shown)
{
    return "Ошибка: вместо количества вершин графа введено «" + shown +
           "»; нужно целое число не больше 9998.\n";
}

// where: "R, столбце C", the entry's row and column.
inline std::string badEntry(const std::string& where, const std::string& shown)
{
    return "Ошибка: вместо элемента матрицы в строке " + where + " введено «" + shown +
           "»; нужно целое число от -2147483648 до 2147483647.\n";
}

inline const std::string dataAfter =
    "Предупреждение: после матрицы смежности во вводе есть ещё данные; они не прочитаны. "
    "Проверьте количество вершин.\n";

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

// "@TIME@" stands for the elapsed-time figure.
inline const std::string timeLine = "\nВремя в секундах =@TIME@s\t\n\n";

inline std::string unreached(const std::string& list, bool one)
{
    return std::string("Ошибка: из вершины 1 нельзя дойти до ") + (one ? "вершины " : "вершин ") +
           list + ", поэтому охватывающего дерева нет.\n";
}
