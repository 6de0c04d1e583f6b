#pragma once
// Reads the progress bar that the curl command-line tool draws on its standard error ("-#"): a
// line of '#' and a percentage, redrawn after a carriage return. A size the tool does not know
// draws no percentage and yields nothing.

#include <functional>
#include <string>
#include <string_view>

class CurlToolProgress {
public:
    using FractionSink = std::function<void(double fraction)>;

    explicit CurlToolProgress(FractionSink sink) : sink_(std::move(sink)) {}
    // Takes output as it arrives; every completed redraw that ends in a percentage is passed on.
    void Feed(std::string_view output);

private:
    void Redraw(std::string_view text);

    FractionSink sink_;
    std::string pending_;
};
