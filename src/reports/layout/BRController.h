#pragma once
#include "reports/eval/BREvResult.h"
#include <functional>
#include <memory>
#include <vector>

class TBRLayout;
class TBREvaluator;
class TDataSet;
struct TBRBand;
struct TBRGroup;

// Drives one level of a report: walks its dataset, prints its header,
// detail and footer bands through the layout, breaks groups when their
// expression's value changes and runs its nested controllers before or
// after each detail record.
class TBRController
{
public:
    struct Level
    {
        TDataSet *DataSet = nullptr;
        TBRBand *Header = nullptr, *Detail = nullptr, *Footer = nullptr;
        std::vector<TBRGroup> *Groups = nullptr;
        bool PrintIfEmpty = true;
        bool TopLevel = false;
        std::function<void()> BeforeOpen;
        // Records without a dataset.
        std::function<void(bool &)> OnNeedData;
    };
    TBRController(TBRLayout &layout, Level level);
    ~TBRController();
    TBRController(const TBRController &) = delete;
    TBRController &operator=(const TBRController &) = delete;

    std::vector<std::unique_ptr<TBRController>> Before, After;
    // Evaluators whose aggregates take every detail record.
    std::vector<TBREvaluator *> Notify;

    void Prepare();
    void Unprepare();
    void Execute();
    // After a new page or column: the group headers that ask for it print again.
    void ReprintHeaders();
    void NotifyClients();
    bool Drives(const TBRBand *band) const { return band == m_level.Detail; }
    int DetailNumber() const { return m_detailNumber; }

private:
    struct GroupState;
    void printEmpty();
    bool checkGroups();
    void printGroupHeaders();
    void printGroupFooters(bool whereBroken);
    void runControllers(const std::vector<std::unique_ptr<TBRController>> &list);
    void advance(bool &more);
    bool fromDataSet() const;
    void takeParameters();

    TBRLayout &m_layout;
    Level m_level;
    std::vector<GroupState> m_groups;
    int m_detailNumber = 0;
    bool m_queryParams = false; // the query names report variables among its parameters
};
