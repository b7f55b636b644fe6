#include "EnlaceLento.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <list>
#include <string>
#include <vector>

namespace {

using Reloj = std::chrono::steady_clock;

struct Paquete {
    Reloj::time_point entrega;
    std::string datos;   // empty: the sender closed its side
};

// One direction of a connection: what was read from `desde`, waiting its
// turn to be written to `hacia`.
struct Sentido {
    int desde = -1;
    int hacia = -1;
    std::deque<Paquete> cola;
    bool cerrado = false;   // the reader saw the end
};

struct Conexion {
    Sentido subida;   // client -> server
    Sentido bajada;   // server -> client
    bool clienteHablo = false;
    bool terminada = false;
};

void escribirTodo(int fd, const std::string& datos)
{
    size_t hecho = 0;
    while (hecho < datos.size()) {
        const ssize_t n = ::send(fd, datos.data() + hecho, datos.size() - hecho, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        hecho += static_cast<size_t>(n);
    }
}

int conectarUnix(const std::string& ruta)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un dir{};
    dir.sun_family = AF_UNIX;
    std::strncpy(dir.sun_path, ruta.c_str(), sizeof(dir.sun_path) - 1);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&dir), sizeof(dir)) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

} // namespace

EnlaceLento::EnlaceLento(const QString& socketServidor, int retrasoMs)
    : socket_(socketServidor), retrasoMs_(retrasoMs)
{
    escucha_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in dir{};
    dir.sin_family = AF_INET;
    dir.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t largo = sizeof(dir);
    if (escucha_ < 0 || ::bind(escucha_, reinterpret_cast<sockaddr*>(&dir), sizeof(dir)) != 0
        || ::listen(escucha_, 64) != 0 || ::getsockname(escucha_, reinterpret_cast<sockaddr*>(&dir), &largo) != 0
        || ::pipe(aviso_) != 0)
        return;
    puerto_ = ntohs(dir.sin_port);
    hilo_ = std::thread([this] { atender(); });
}

EnlaceLento::~EnlaceLento()
{
    if (hilo_.joinable()) {
        const char c = 'x';
        (void)!::write(aviso_[1], &c, 1);
        hilo_.join();
    }
    for (int fd : {escucha_, aviso_[0], aviso_[1]})
        if (fd >= 0)
            ::close(fd);
}

void EnlaceLento::atender()
{
    const std::string ruta = socket_.toStdString();
    const auto retraso = std::chrono::milliseconds(retrasoMs_);
    std::list<Conexion> conexiones;
    std::vector<char> bufer(1 << 16);
    for (;;) {
        // Deliver what is due; find how long until the next packet is.
        const Reloj::time_point ahora = Reloj::now();
        int espera = -1;
        for (Conexion& c : conexiones) {
            for (Sentido* s : {&c.subida, &c.bajada}) {
                while (!s->cola.empty() && s->cola.front().entrega <= ahora) {
                    if (s->cola.front().datos.empty())
                        c.terminada = true;
                    else
                        escribirTodo(s->hacia, s->cola.front().datos);
                    s->cola.pop_front();
                }
                if (!s->cola.empty()) {
                    const auto falta = std::chrono::duration_cast<std::chrono::milliseconds>(
                                           s->cola.front().entrega - ahora).count() + 1;
                    espera = espera < 0 ? int(falta) : std::min(espera, int(falta));
                }
            }
        }
        for (auto it = conexiones.begin(); it != conexiones.end();) {
            if (it->terminada) {
                ::close(it->subida.desde);
                ::close(it->bajada.desde);
                it = conexiones.erase(it);
            } else {
                ++it;
            }
        }

        std::vector<pollfd> fds{{escucha_, POLLIN, 0}, {aviso_[0], POLLIN, 0}};
        std::vector<std::pair<Conexion*, Sentido*>> duenos;
        for (Conexion& c : conexiones)
            for (Sentido* s : {&c.subida, &c.bajada})
                if (!s->cerrado) {
                    fds.push_back({s->desde, POLLIN, 0});
                    duenos.emplace_back(&c, s);
                }
        if (::poll(fds.data(), fds.size(), espera) < 0)
            continue;
        if (fds[1].revents)
            break;
        if (fds[0].revents & POLLIN) {
            const int cliente = ::accept(escucha_, nullptr, nullptr);
            const int servidor = cliente >= 0 ? conectarUnix(ruta) : -1;
            if (servidor < 0) {
                if (cliente >= 0)
                    ::close(cliente);
            } else {
                const int uno = 1;
                ::setsockopt(cliente, IPPROTO_TCP, TCP_NODELAY, &uno, sizeof(uno));
                Conexion c;
                c.subida.desde = cliente;
                c.subida.hacia = servidor;
                c.bajada.desde = servidor;
                c.bajada.hacia = cliente;
                conexiones.push_back(std::move(c));
                ++conexiones_;
            }
        }
        const Reloj::time_point leido = Reloj::now();
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            auto [c, s] = duenos[i - 2];
            const ssize_t n = ::recv(s->desde, bufer.data(), bufer.size(), 0);
            if (n <= 0) {
                s->cerrado = true;
                s->cola.push_back({leido + retraso, {}});
                continue;
            }
            if (s == &c->subida) {
                c->clienteHablo = true;
            } else if (c->clienteHablo) {
                c->clienteHablo = false;
                ++idasYVueltas_;
            }
            s->cola.push_back({leido + retraso, std::string(bufer.data(), size_t(n))});
        }
    }
    for (Conexion& c : conexiones) {
        ::close(c.subida.desde);
        ::close(c.bajada.desde);
    }
}
