#include "MensajesSinVentana.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using MensajesSinVentana::plataformasParaCajas;

// Sets (or clears, with nullopt) an environment variable for the life of the object.
class Entorno {
public:
    Entorno(const char* nombre, std::optional<QByteArray> valor)
        : nombre_(nombre), antes_(qEnvironmentVariableIsSet(nombre) ? std::optional(qgetenv(nombre)) : std::nullopt)
    {
        pon(valor);
    }
    ~Entorno() { pon(antes_); }
    Entorno(const Entorno&) = delete;
    Entorno& operator=(const Entorno&) = delete;

private:
    void pon(const std::optional<QByteArray>& valor)
    {
        if (valor)
            qputenv(nombre_, *valor);
        else
            qunsetenv(nombre_);
    }
    const char* nombre_;
    std::optional<QByteArray> antes_;
};

TEST(MensajesSinVentanaTest, BoxesOnlyWhereSomebodyCouldSeeThem)
{
    Entorno wayland("WAYLAND_DISPLAY", std::nullopt);
    {
        Entorno plataforma("QT_QPA_PLATFORM", std::nullopt);
        Entorno pantalla("DISPLAY", std::nullopt);
        EXPECT_TRUE(plataformasParaCajas().isEmpty());
    }
    {
        Entorno plataforma("QT_QPA_PLATFORM", std::nullopt);
        Entorno pantalla("DISPLAY", QByteArray(":0"));
        EXPECT_EQ(plataformasParaCajas(), QByteArray("xcb;offscreen"));
        Entorno otra("WAYLAND_DISPLAY", QByteArray("wayland-0"));
        EXPECT_EQ(plataformasParaCajas(), QByteArray("wayland;xcb;offscreen"));
    }
    Entorno pantalla("DISPLAY", QByteArray(":0"));
    for (const char* sinPantalla : {"offscreen", "minimal", "minimal:enable_fonts"}) {
        Entorno plataforma("QT_QPA_PLATFORM", QByteArray(sinPantalla));
        EXPECT_TRUE(plataformasParaCajas().isEmpty()) << sinPantalla;
    }
    Entorno plataforma("QT_QPA_PLATFORM", QByteArray("xcb"));
    EXPECT_EQ(plataformasParaCajas(), QByteArray("xcb;offscreen"));
}

} // namespace
