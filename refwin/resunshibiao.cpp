#include "refwin/resunshibiao.h"

#include "numtext/formatnumber.h"

namespace dorvent {
namespace {

// DN, t<=200 ℃, 200℃<t<=300℃, 300℃<t<=350℃
constexpr float resunshibiao[kLayingMethods][kHeatLossRows][4] = {
    // 1: overhead (架空)
    {{25, 1.17f, 1.26f, 1.26f},  {40, 1.38f, 1.38f, 1.38f},   {50, 1.47f, 1.55f, 1.55f},  {65, 1.68f, 1.68f, 1.72f},
     {80, 1.93f, 1.89f, 1.89f},  {100, 2.01f, 2.01f, 2.01f},  {125, 2.30f, 2.26f, 2.30f}, {150, 2.39f, 2.43f, 2.43f},
     {200, 3.02f, 3.02f, 2.85f}, {250, 3.60f, 3.60f, 3.18f},  {300, 4.15f, 4.15f, 3.60f}, {350, 4.23f, 4.02f, 4.02f},
     {400, 4.69f, 4.40f, 4.23f}, {450, 4.78f, 4.70f, 4.65f},  {500, 5.20f, 5.20f, 4.99f}, {600, 6.03f, 5.70f, 5.49f},
     {700, 6.79f, 6.37f, 6.12f}, {800, 7.63f, 6.75f, 6.83f},  {900, 7.84f, 7.84f, 7.10f}, {1000, 8.58f, 8.12f, 7.79f}},
    // 2: non-walkable trench (不通行地沟)
    {{25, 1.26f, 1.22f, 1.22f},  {40, 1.38f, 1.38f, 1.38f},   {50, 1.55f, 1.55f, 1.51f},  {65, 1.68f, 1.63f, 1.63f},
     {80, 1.89f, 1.84f, 1.84f},  {100, 2.14f, 2.10f, 1.97f},  {125, 2.26f, 2.22f, 2.22f}, {150, 2.56f, 2.51f, 2.35f},
     {200, 3.22f, 2.93f, 2.93f}, {250, 3.52f, 3.48f, 3.27f},  {300, 4.02f, 3.69f, 3.69f}, {350, 4.57f, 4.15f, 3.94f},
     {400, 4.61f, 4.57f, 4.32f}, {450, 5.07f, 5.03f, 4.74f},  {500, 5.53f, 5.11f, 4.86f}, {600, 6.45f, 5.91f, 5.57f},
     {700, 7.25f, 6.62f, 6.24f}, {800, 8.13f, 7.42f, 6.62f},  {900, 9.05f, 8.21f, 7.29f}, {1000, 9.09f, 9.01f, 7.96f}},
    // 3: walkable trench (通行地沟)
    {{25, 1.17f, 1.26f, 1.26f},  {40, 1.43f, 1.38f, 1.38f},   {50, 1.47f, 1.47f, 1.47f},  {65, 1.72f, 1.68f, 1.68f},
     {80, 1.93f, 1.91f, 1.89f},  {100, 2.01f, 2.01f, 2.01f},  {125, 2.30f, 2.30f, 2.18f}, {150, 2.39f, 2.39f, 2.39f},
     {200, 3.06f, 3.02f, 2.85f}, {250, 3.60f, 3.31f, 3.31f},  {300, 3.81f, 3.81f, 3.60f}, {350, 4.27f, 4.02f, 4.02f},
     {400, 4.74f, 4.40f, 4.19f}, {450, 5.24f, 4.82f, 4.57f},  {500, 5.24f, 5.24f, 4.99f}, {600, 6.08f, 6.08f, 5.45f},
     {700, 6.83f, 6.37f, 6.08f}, {800, 7.67f, 7.12f, 6.79f},  {900, 8.51f, 7.88f, 7.50f}, {1000, 9.34f, 8.63f, 7.75f}},
};

}  // namespace

float resunshi(int fushefangshi, int row, int column) { return resunshibiao[fushefangshi - 1][row - 1][column - 1]; }

std::string resunshiListText(int fushefangshi, int zhengqiwendu, int row)
{
    return "DN" + formatShortest(resunshi(fushefangshi, row, 1)) + "\t" +
           formatFixed(resunshi(fushefangshi, row, zhengqiwendu), 2) + "\tkJ/m·h·℃";
}

}  // namespace dorvent
