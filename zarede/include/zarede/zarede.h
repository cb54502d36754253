// SPDX-License-Identifier: GPL-3.0-or-later
//
// Zarede: one-variable curves, the point series the charts draw from them, and the area between
// two curves where the upper one exceeds the lower one.
//
// Units are whatever the curves carry. On the runoff screen x is time (h) and y an application
// or infiltration rate (mm/h), so areas are depths (mm).
//
// Every failure is a zarede::Error carrying one of the numbers of ErrorNumber.
//
//   zarede::Factory factory;
//   auto ellipse = factory.newEclipseFunction(10, 20, "sprinkler");
//   auto soil = factory.newKostiakovFunction(0.01, 20, 100, -0.5, "soil");
//   double excess = zarede::Integrador{}.AreaIntersecao(*soil, *ellipse, 10, 0, 20, 0.001);
#pragma once

#include <zarede/zarede_export.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zarede {

// Base of the library's own error numbers (the application-error base).
inline constexpr int32_t kApplicationErrorBase = static_cast<int32_t>(0x80040000u);

// Numbers carried by zarede::Error. The first four are the platform's own numbers for the
// same faults; the others are the library's.
enum class ErrorNumber : int32_t {
    InvalidArgument = 5,      // invalid procedure call or argument (e.g. root of a negative)
    Overflow = 6,             // numeric overflow, or a count that does not fit in 16 bits
    SubscriptOutOfRange = 9,  // index outside the bounds of a 1-based array
    DivisionByZero = 11,      // division by zero
    InvalidIntegrationRange = kApplicationErrorBase + 1300,  // X1 > X2, delta <= 0, ...
    CurvesDoNotCross = kApplicationErrorBase + 1301,         // crossing search did not converge
};

// The message that goes with an error number ("" for a number the library does not know).
ZAREDE_EXPORT std::string_view errorMessage(ErrorNumber number);

// The one exception type of the library. what() is the message of the number, possibly
// followed by a detail.
class ZAREDE_EXPORT Error : public std::runtime_error {
  public:
    Error(ErrorNumber number, const std::string& message);
    ~Error() override;

    int32_t number() const noexcept { return number_; }
    ErrorNumber code() const noexcept { return static_cast<ErrorNumber>(number_); }

  private:
    int32_t number_;
};

// A curve y = f(x). This base class is also the library's default function: every operation
// returns 0 and the name is "". Implementations override what they know.
class ZAREDE_EXPORT IFunction {
  public:
    IFunction() = default;
    IFunction(const IFunction&) = default;
    IFunction& operator=(const IFunction&) = default;
    virtual ~IFunction();

    virtual std::string name() const;
    virtual double getMaxY() const;
    virtual double getMaxX() const;
    virtual double getMinY() const;
    virtual double getMinX() const;
    // The value of the curve at x. Errors of the curve are raised from here.
    virtual double calculate(double x) const;
};

// A series of points numbered 1..numberOfPoints(), as a chart draws it. This base class is also
// the library's default series: every operation does nothing or returns 0, the name is "".
class ZAREDE_EXPORT Serie {
  public:
    Serie() = default;
    Serie(const Serie&) = default;
    Serie& operator=(const Serie&) = default;
    virtual ~Serie();

    // Makes the values readable; must run before getValueForX/getValueForY.
    virtual void prepare();
    // X and Y of point i (1-based).
    virtual double getValueForX(int16_t i) const;
    virtual double getValueForY(int16_t i) const;
    virtual double getMaxY() const;
    virtual double getMaxX() const;
    virtual double getMinY() const;
    virtual double getMinX() const;
    virtual std::string name() const;
    virtual int32_t numberOfPoints() const;
};

// Upper half of the ellipse with centre (cx, 0) and semi-axes cx and cy: it starts at (0, 0),
// peaks at (cx, cy) and ends at (2cx, 0). On the runoff screen x is the time since the wetted
// diameter of a sprinkler reached a point of the field (h), cx half the time it takes to pass
// over the point (h) and cy the peak application rate (mm/h).
class ZAREDE_EXPORT ZaredeFunction : public IFunction {
  public:
    // Sets the centre (cx, cy) and the name ("" when missing).
    void init(double lcentroX, double lcentroy, std::optional<std::string> name = std::nullopt);
    double centro_X() const { return centroX_; }
    double centro_Y() const { return centroY_; }

    std::string name() const override;
    double getMaxY() const override;  // cy
    double getMaxX() const override;  // 2 cx
    double getMinY() const override;  // 0
    double getMinX() const override;  // 0
    // y = sqrt(-x² cy²/cx² + 2 x cy²/cx). When |x - 2cx| < 1e-15 the value is taken at x = 0,
    // so the right end gives exactly 0.
    // Raises InvalidArgument when x lies outside [0, 2cx] (root of a negative) or is NaN,
    // DivisionByZero when cx = 0, Overflow when a term overflows.
    double calculate(double x) const override;

  private:
    double centroX_ = 0;
    double centroY_ = 0;
    std::string name_;
};

// Kostiakov infiltration-rate curve y = k x^a over [Min, Max]. The curve is taken to decrease
// (a < 0), so its largest value is at Min. On the runoff screen x is time (h) and y the
// infiltration rate (mm/h); Min = 0.01 keeps x = 0 from being evaluated.
class ZAREDE_EXPORT KostiakovFunction : public IFunction {
  public:
    KostiakovFunction(double Min, double Max, double k, double a,
                      std::optional<std::string> name = std::nullopt);

    double Min() const { return min_; }
    double Max() const { return max_; }
    double k() const { return k_; }
    double a() const { return a_; }

    std::string name() const override;
    double getMaxY() const override;  // calculate(Min)
    double getMaxX() const override;  // Max
    double getMinY() const override;  // calculate(Max)
    double getMinX() const override;  // Min
    // k x^a. Raises DivisionByZero at x = 0 with a < 0, InvalidArgument when the power has no
    // real value (negative x with a fractional exponent, NaN), Overflow when it overflows.
    double calculate(double x) const override;

  private:
    double min_;
    double max_;
    double k_;
    double a_;
    std::string name_;
};

// N evenly spaced points of a function over [getMinX, getMaxX], both ends included.
class ZAREDE_EXPORT SerieBuilder : public Serie {
  public:
    // Samples `zarede` with `numberOfPoints` points. Raises Overflow when the count does not fit
    // in 16 bits (above 32767 or below -32768), InvalidArgument when the function is missing.
    void init(std::shared_ptr<IFunction> zarede, int32_t numberOfPoints);

    // step = (getMaxX - getMinX) / (N - 1). Raises DivisionByZero when N = 1.
    void prepare() override;
    // getMinX + (i - 1) step, for i from 1 to N.
    double getValueForX(int16_t i) const override;
    // The function at getValueForX(i); errors of the function pass unchanged.
    double getValueForY(int16_t i) const override;
    // These forward to the function.
    double getMaxY() const override;
    double getMaxX() const override;
    double getMinY() const override;
    double getMinX() const override;
    std::string name() const override;
    int32_t numberOfPoints() const override;  // N

  private:
    std::shared_ptr<IFunction> function_ = std::make_shared<IFunction>();
    int16_t points_ = 0;
    double step_ = 0;
};

// The two-dimensional array of getSerieArray: rows 1..rows(), columns 1..cols().
class ZAREDE_EXPORT SerieArray {
  public:
    SerieArray() = default;
    // A rows x cols array of zeros. Raises SubscriptOutOfRange for a negative size.
    SerieArray(int32_t rows, int32_t cols);

    int32_t rows() const noexcept { return rows_; }
    int32_t cols() const noexcept { return cols_; }
    // Element (row, col), both 1-based. Raises SubscriptOutOfRange outside the bounds.
    double& operator()(int32_t row, int32_t col);
    double operator()(int32_t row, int32_t col) const;

  private:
    std::size_t offset(int32_t row, int32_t col) const;

    int32_t rows_ = 0;
    int32_t cols_ = 0;
    std::vector<double> values_;
};

// An ordered collection of series and the X/Y grid a chart control takes from them.
class ZAREDE_EXPORT SerieSource {
  public:
    // Appends a SerieBuilder of `aFunction` with `numberOfPoints` points (see SerieBuilder::init).
    void addFunction(std::shared_ptr<IFunction> aFunction, int32_t numberOfPoints);
    // Appends a series. Raises InvalidArgument when the series is missing.
    void addSerie(std::shared_ptr<Serie> aSerie);
    // addFunction of every function of `funcs`, in order, with the same number of points.
    void init(const std::vector<std::shared_ptr<IFunction>>& funcs, int32_t numberOfPoints);

    // Prepares every series and returns P rows and 2S columns, P the largest number of points
    // and S the number of series: column 2l-1 holds the X values and column 2l the Y values of
    // series l. A series with fewer than P points repeats its last point down to row P.
    // With no series (or no points) the array is empty. Errors of the series pass unchanged.
    SerieArray getSerieArray();
    // Number of series; 0 while none has been added. Raises Overflow above 32767.
    int16_t seriesCount() const;
    // 2k - 1 (the column of its X values) for the k-th series named `Serie_name` (exact,
    // case-sensitive); 0 when no series bears that name. Raises Overflow above 32767.
    int16_t orderOf(const std::string& Serie_name) const;
    // Largest getMaxY of the series whose name differs from `exclude` (all series when it is
    // missing); never less than 0.
    double getMaxY(const std::optional<std::string>& exclude = std::nullopt) const;
    // Largest getMaxX of all series; never less than 0.
    double getMaxX() const;
    // Smallest getMinY / getMinX of all series; never more than 0.
    double getMinY() const;
    double getMinX() const;

    const std::vector<std::shared_ptr<Serie>>& series() const noexcept { return series_; }

  private:
    std::vector<std::shared_ptr<Serie>> series_;
};

// The two crossing points of Integrador::Encontra2PontosDeCruzamento, indices 1 and 2.
class ZAREDE_EXPORT CrossingPoints {
  public:
    CrossingPoints() = default;
    CrossingPoints(double point1, double point2) : points_{point1, point2} {}
    // Point i (1 or 2). Raises SubscriptOutOfRange for any other index.
    double operator()(int32_t i) const;

  private:
    double points_[2] = {0, 0};
};

// Integrals of curves and the area where one curve exceeds another. Stateless.
class ZAREDE_EXPORT Integrador {
  public:
    // Trapezoidal integral of `funcao` from X1 to X2 with strips of width delta; the last strip
    // is what remains to X2. In units of x times y.
    // Raises InvalidIntegrationRange when X1 > X2, delta <= 0, a bound is not finite, the strips
    // would exceed 1e7 or delta is too small to advance x; Overflow when the sum is not finite.
    // Errors of the function pass unchanged.
    double calcula(const IFunction& funcao, double X1, double X2, double delta) const;
    // True when porCima(pontoTest) < porBaixo(pontoTest) (strictly).
    bool funcoesCruzam(const IFunction& porBaixo, const IFunction& porCima, double pontoTest) const;
    // When porCima lies below porBaixo at pontoTest: point 1 is where porCima falls below
    // porBaixo in [X1, pontoTest], point 2 where it rises above it again in [pontoTest, X2],
    // each found by bisection until the two values are within 1e-6. Otherwise {0, 0}.
    // Raises CurvesDoNotCross when a search cannot meet the tolerance (the curves do not cross
    // in the interval, or the interval stops shrinking, or 200 halvings pass).
    CrossingPoints Encontra2PontosDeCruzamento(const IFunction& porBaixo, const IFunction& porCima,
                                               double pontoTest, double X1, double X2) const;
    // calcula(porCima, X1, X2, delta) - calcula(porBaixo, X1, X2, delta). Same errors as
    // calcula; Overflow when the difference is not finite.
    double IntegraDuasFuncoes(const IFunction& porBaixo, const IFunction& porCima, double X1,
                              double X2, double delta) const;
    // Area where porCima exceeds porBaixo between the crossing points around pontoTeste, found
    // in [X1, pontoTeste] and [pontoTeste, X2], integrated with step delta. 0, without searching,
    // when porCima is not strictly above porBaixo at pontoTeste. Same errors as
    // Encontra2PontosDeCruzamento and calcula.
    double AreaIntersecao(const IFunction& porBaixo, const IFunction& porCima, double pontoTeste,
                          double X1, double X2, double delta) const;
};

// Creates the curve objects. Stateless.
class ZAREDE_EXPORT Factory {
  public:
    // A new ZaredeFunction with centre (centroX, centroY).
    std::shared_ptr<ZaredeFunction> newEclipseFunction(
        double centroX, double centroY, std::optional<std::string> name = std::nullopt) const;
    // A new SerieBuilder over aFunction with numberOfPoints points (see SerieBuilder::init).
    std::shared_ptr<SerieBuilder> newSerieBuilder(std::shared_ptr<IFunction> aFunction,
                                                  int32_t numberOfPoints) const;
    // A new KostiakovFunction k x^a over [Min, Max].
    std::shared_ptr<KostiakovFunction> newKostiakovFunction(
        double Min, double Max, double k, double a,
        std::optional<std::string> name = std::nullopt) const;
    // A new SerieSource; when funcs is given it is filled with SerieSource::init. Raises
    // InvalidArgument when funcs is given without numberOfPoints.
    std::shared_ptr<SerieSource> newSerieSource(
        const std::optional<std::vector<std::shared_ptr<IFunction>>>& funcs = std::nullopt,
        std::optional<int32_t> numberOfPoints = std::nullopt) const;
};

}  // namespace zarede
