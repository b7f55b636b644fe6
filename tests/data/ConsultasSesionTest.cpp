#include "ConsultasSesion.h"
#include "SuiteDePrueba.h"

#include <gtest/gtest.h>

TEST(SessionLookups, UserType)
{
    SuiteDePrueba suite;
    ASSERT_TRUE(suite.exec("INSERT INTO CLAVES VALUES ('ROOT','0')"));
    ASSERT_TRUE(suite.exec("INSERT INTO CLAVES VALUES ('ANA','2')"));
    ASSERT_TRUE(suite.exec("INSERT INTO CLAVES VALUES ('NOTYPE',NULL)"));
    EXPECT_EQ(tipoUsuario(suite.db(), "ROOT"), "0");
    EXPECT_EQ(tipoUsuario(suite.db(), "ANA"), "2");
    EXPECT_EQ(tipoUsuario(suite.db(), "root"), "0");   // user names without regard to case
    EXPECT_EQ(tipoUsuario(suite.db(), "NOBODY"), "1");
    EXPECT_EQ(tipoUsuario(suite.db(), "NOTYPE"), "1");
    EXPECT_EQ(tipoUsuario(suite.db(), "' OR '1'='1"), "1");
}

TEST(SessionLookups, ErrorTextByFourDigitCode)
{
    SuiteDePrueba suite;
    ASSERT_TRUE(suite.exec("INSERT INTO ERROR VALUES ('0151','Error al grabar la declaración')"));
    ASSERT_TRUE(suite.exec("INSERT INTO ERROR VALUES ('0007','Memoria insuficiente')"));
    ASSERT_TRUE(suite.exec("INSERT INTO ERROR VALUES ('151','wrong key')"));
    EXPECT_EQ(textoError(suite.db(), 151), QString::fromUtf8("Error al grabar la declaración"));
    EXPECT_EQ(textoError(suite.db(), 7), "Memoria insuficiente");
    EXPECT_EQ(textoError(suite.db(), 8), "");
    EXPECT_EQ(claveCodigoError(7), "0007");
    EXPECT_EQ(claveCodigoError(3051), "3051");
}
