#pragma once

#include "reports/eval/BREvElements.h"

#include <memory>
#include <vector>

// The prepared expression: elements in prefix order, the next one to take and
// the aggregate-mode flag. It owns its elements.
class TBRFiFo
{
public:
    void Start() { m_next = 0; }
    void Put(std::unique_ptr<TBREvElement> element) { m_elements.push_back(std::move(element)); }
    // The next element, or nullptr when all were taken.
    TBREvElement *Get() { return m_next < m_elements.size() ? m_elements[m_next++].get() : nullptr; }
    // Evaluates the next element; running out gives an error value.
    TBREvResult EvaluateNext();
    const std::vector<std::unique_ptr<TBREvElement>> &Elements() const { return m_elements; }
    bool AggregateMode = false;

private:
    std::vector<std::unique_ptr<TBREvElement>> m_elements;
    size_t m_next = 0;
};
