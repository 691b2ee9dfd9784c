// light-chequer-plain: what each pixel shows
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 4 }
background { rgb 0 }
camera { perspective location <300.000, 1600.000, 400.000> right x*320/240 up y angle 66 sky <0.000, 1.000, 0.000> look_at <187.407, 1012.215, 1201.144> }
plane { y, 0 texture { pigment { rgb <0.062745, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2650.000, 2700.000, -150.000>, <2650.000, 2850.000, 6150.000> texture { pigment { rgb <0.376471, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2650.000, 0.000, 6000.000>, <2650.000, 2700.000, 6150.000> texture { pigment { rgb <0.188235, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <2500.000, 0.000, -150.000>, <2650.000, 2700.000, 6150.000> texture { pigment { rgb <0.250980, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2650.000, 0.000, -151.000>, <2650.000, 2700.000, 0.000> texture { pigment { rgb <0.313725, 0, 0> } finish { ambient 1 diffuse 0 } } }
difference { box { <-2650.000, 0.000, -150.000>, <-2500.000, 2700.000, 6150.000> texture { pigment { rgb <0.125490, 0, 0> } finish { ambient 1 diffuse 0 } } } box { <-2651.000, 900.000, 1920.000>, <-2499.000, 2200.000, 3320.000> texture { pigment { rgb <0.627451, 0, 0> } finish { ambient 1 diffuse 0 } } } }
box { <-2690.000, 890.000, 1910.000>, <-2670.000, 2210.000, 3330.000> texture { pigment { rgb <0.627451, 0, 0> } finish { ambient 1 diffuse 0 } } no_shadow }
box { <-2580.000, 860.000, 1860.000>, <-2460.000, 900.000, 3380.000> texture { pigment { rgb <0.627451, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2580.000, 2200.000, 1880.000>, <-2520.000, 2240.000, 3360.000> texture { pigment { rgb <0.627451, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2580.000, 900.000, 1880.000>, <-2520.000, 2200.000, 1920.000> texture { pigment { rgb <0.627451, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2580.000, 900.000, 3320.000>, <-2520.000, 2200.000, 3360.000> texture { pigment { rgb <0.627451, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2580.000, 900.000, 2595.000>, <-2540.000, 2200.000, 2645.000> texture { pigment { rgb <0.627451, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2500.000, 0.000, 5984.000>, <2500.000, 90.000, 6000.000> texture { pigment { rgb <0.188235, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2500.000, 0.000, 0.000>, <-2484.000, 90.000, 6000.000> texture { pigment { rgb <0.125490, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <2484.000, 0.000, 0.000>, <2500.000, 90.000, 6000.000> texture { pigment { rgb <0.250980, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2500.000, 0.000, 0.000>, <2500.000, 90.000, 16.000> texture { pigment { rgb <0.313725, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <1580.000, 0.000, 2740.000>, <2400.000, 90.000, 4760.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <1540.000, 90.000, 2700.000>, <2440.000, 400.000, 4800.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <2220.000, 400.000, 2700.000>, <2440.000, 860.000, 4800.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <1540.000, 400.000, 2700.000>, <2220.000, 620.000, 2900.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <1540.000, 400.000, 4600.000>, <2220.000, 620.000, 4800.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <1550.000, 400.000, 2910.000>, <2210.000, 520.000, 3460.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <1550.000, 400.000, 3470.000>, <2210.000, 520.000, 4020.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <1550.000, 400.000, 4030.000>, <2210.000, 520.000, 4580.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2050.000, 730.000, 2040.000>, <-1150.000, 770.000, 3540.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2010.000, 0.000, 2080.000>, <-1950.000, 730.000, 2140.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-2010.000, 0.000, 3440.000>, <-1950.000, 730.000, 3500.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-1250.000, 0.000, 2080.000>, <-1190.000, 730.000, 2140.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
box { <-1250.000, 0.000, 3440.000>, <-1190.000, 730.000, 3500.000> texture { pigment { rgb <0.439216, 0, 0> } finish { ambient 1 diffuse 0 } } }
