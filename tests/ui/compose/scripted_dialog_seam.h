// A CommandDialogSeam that answers from a script and records what it was asked.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/compose/command_dialog.h"

class ScriptedDialogSeam : public CommandDialogSeam {
  public:
    // nullopt cancels.
    std::deque<std::optional<std::string>> names;
    // Changes the parameter dialog makes before OK; nullopt cancels.
    struct ParameterAnswer {
        std::optional<std::string> objectName;
        std::vector<std::pair<int, double>> values;
        bool doAll = false;
    };
    std::deque<std::optional<ParameterAnswer>> parameters;
    std::deque<std::optional<ReflectiveSide>> sides;

    std::vector<std::string> infos, errors, refusals;
    std::vector<ParameterRequest> shown;
    int namesAsked = 0, sidesAsked = 0;

    std::optional<std::string> askObjectName(const std::string& refusal) override {
        ++namesAsked;
        if (!refusal.empty()) refusals.push_back(refusal);
        return pop(names, std::optional<std::string>());
    }
    bool askParameters(ParameterRequest& request, const std::string& refusal) override {
        if (!refusal.empty()) refusals.push_back(refusal);
        shown.push_back(request);
        auto a = pop(parameters, std::optional<ParameterAnswer>());
        if (!a) return false;
        if (a->objectName) request.objectName = *a->objectName;
        for (auto [i, v] : a->values)
            request.values[i] = v;
        request.doAll = a->doAll;
        return true;
    }
    std::optional<ReflectiveSide> askSide(int) override {
        ++sidesAsked;
        return pop(sides, std::optional<ReflectiveSide>());
    }
    void infoBox(const std::string& text) override { infos.push_back(text); }
    void errorBox(const std::string& text) override { errors.push_back(text); }

  private:
    template <class T> static T pop(std::deque<T>& q, T fallback) {
        if (q.empty()) return fallback;
        T v = std::move(q.front());
        q.pop_front();
        return v;
    }
};
