#pragma once
// A slow link between the suite's programs and the throwaway PostgreSQL
// server, as a branch office reaching its server over a VPN would have: it
// listens on a TCP port of the loopback, forwards every connection to the
// server's Unix socket, holds each packet `retrasoMs` in each direction and
// counts round trips (a burst from the client answered by the server).

#include <QString>

#include <atomic>
#include <thread>

class EnlaceLento {
public:
    EnlaceLento(const QString& socketServidor, int retrasoMs);
    ~EnlaceLento();
    EnlaceLento(const EnlaceLento&) = delete;
    EnlaceLento& operator=(const EnlaceLento&) = delete;

    bool ok() const { return puerto_ > 0; }
    int puerto() const { return puerto_; }
    // Round trips and connections since the start or the last reiniciar().
    long idasYVueltas() const { return idasYVueltas_.load(); }
    long conexiones() const { return conexiones_.load(); }
    void reiniciar()
    {
        idasYVueltas_ = 0;
        conexiones_ = 0;
    }

private:
    void atender();

    QString socket_;
    int retrasoMs_;
    int escucha_ = -1;
    int aviso_[2] = {-1, -1};   // wakes the thread to stop
    int puerto_ = 0;
    std::atomic<long> idasYVueltas_{0};
    std::atomic<long> conexiones_{0};
    std::thread hilo_;
};
